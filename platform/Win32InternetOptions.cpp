#include "platform/Win32InternetOptions.h"

#include <array>

#include "platform/Win32PerConnectionOptionList.h"

namespace rerevure::platform {

bool Win32InternetOptions::SetPerConnectionOptions(const PerConnectionOptionList& list) {
  NativePerConnectionOptionList native(list);
  return set_option_(nullptr, kOptionPerConnectionOption, native.Get(),
                     NativePerConnectionOptionList::Size()) != FALSE;
}

void Win32InternetOptions::Notify(std::uint32_t option) {
  set_option_(nullptr, option, nullptr, 0);
}

std::optional<ConnectionProxySetting> Win32InternetOptions::QueryDefaultConnectionProxy() {
  std::array<INTERNET_PER_CONN_OPTIONA, 2> options{};
  options[0].dwOption = kPerConnFlags;
  options[1].dwOption = kPerConnProxyServer;
  // No connection name: the library answers for the LAN connection, the one
  // the switches set through "".
  INTERNET_PER_CONN_OPTION_LISTA list{};
  list.dwSize = NativePerConnectionOptionList::Size();
  list.pszConnection = nullptr;
  list.dwOptionCount = static_cast<DWORD>(options.size());
  list.pOptions = options.data();
  DWORD size = list.dwSize;
  if (!InternetQueryOptionA(nullptr, kOptionPerConnectionOption, &list, &size)) return {};

  ConnectionProxySetting setting{options[0].Value.dwValue, {}};
  // The library allocates the text with GlobalAlloc and leaves it to the
  // caller; a free that failed could not be mended, so its result is ignored.
  if (char* server = options[1].Value.pszValue) {
    setting.proxy_server = server;
    GlobalFree(server);
  }
  return setting;
}

}  // namespace rerevure::platform
