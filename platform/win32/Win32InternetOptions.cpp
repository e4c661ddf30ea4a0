#include "platform/win32/Win32InternetOptions.h"

#include <array>
#include <string>

#include "platform/win32/Win32Owners.h"
#include "platform/win32/Win32PerConnectionOptionList.h"

namespace rerevure::platform {

bool Win32InternetOptions::SetPerConnectionOptions(const PerConnectionOptionList& list) {
  NativePerConnectionOptionList native(list);
  return set_option_(nullptr, kOptionPerConnectionOption, native.Get(),
                     NativePerConnectionOptionList::Size()) != FALSE;
}

void Win32InternetOptions::Notify(std::uint32_t option) {
  set_option_(nullptr, option, nullptr, 0);
}

namespace {

// The library allocates each text it answers with GlobalAlloc and leaves it
// to the caller.
using GlobalText = GlobalMemory<char>;

std::string TextOf(const GlobalText& text) {
  return text ? std::string(text.get()) : std::string();
}

}  // namespace

std::optional<ConnectionProxySetting> Win32InternetOptions::QueryDefaultConnectionProxy() {
  std::array<INTERNET_PER_CONN_OPTIONA, 3> options{};
  options[0].dwOption = kPerConnFlags;
  options[1].dwOption = kPerConnProxyServer;
  options[2].dwOption = kPerConnAutoConfigUrl;
  // No connection name: the library answers for the LAN connection, the one
  // the switches set through "".
  INTERNET_PER_CONN_OPTION_LISTA list{};
  list.dwSize = NativePerConnectionOptionList::Size();
  list.pszConnection = nullptr;
  list.dwOptionCount = static_cast<DWORD>(options.size());
  list.pOptions = options.data();
  DWORD size = list.dwSize;
  if (!InternetQueryOptionA(nullptr, kOptionPerConnectionOption, &list, &size)) return {};

  const GlobalText server(options[1].Value.pszValue);
  const GlobalText auto_config_url(options[2].Value.pszValue);
  return ConnectionProxySetting{options[0].Value.dwValue, TextOf(server), TextOf(auto_config_url)};
}

}  // namespace rerevure::platform
