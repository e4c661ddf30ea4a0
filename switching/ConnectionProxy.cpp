#include "switching/ConnectionProxy.h"

namespace rerevure::switching {
namespace {

// The library takes NUL-terminated ANSI strings; the NUL is converted with the
// text so that "" becomes one NUL byte rather than a null pointer.
std::string Terminated(const platform::TextCodec& codec, std::wstring_view text) {
  std::wstring with_nul(text);
  with_nul.push_back(L'\0');
  return codec.ToAnsi(with_nul);
}

// Sends the list and then both notifications, whatever the library said about
// the list: other programs must reload even after a partial change.
bool Apply(platform::InternetOptions& internet, const platform::PerConnectionOptionList& list) {
  const bool accepted = internet.SetPerConnectionOptions(list);
  internet.Notify(platform::kOptionSettingsChanged);
  internet.Notify(platform::kOptionRefresh);
  return accepted;
}

}  // namespace

platform::PerConnectionOptionList MakeProxyOptionList(const platform::TextCodec& codec,
                                                      const std::wstring& conn_name,
                                                      const std::wstring& proxy_full_addr) {
  platform::PerConnectionOptionList list;
  list.connection = Terminated(codec, conn_name);
  list.options = {
      {platform::kPerConnFlags, platform::kProxyTypeDirect | platform::kProxyTypeProxy},
      {platform::kPerConnProxyServer, Terminated(codec, proxy_full_addr)},
      {platform::kPerConnProxyBypass, Terminated(codec, kProxyBypass)},
  };
  return list;
}

platform::PerConnectionOptionList MakeDirectOptionList(const platform::TextCodec& codec,
                                                       const std::wstring& conn_name) {
  platform::PerConnectionOptionList list;
  list.connection = Terminated(codec, conn_name);
  list.options = {{platform::kPerConnFlags, platform::kProxyTypeDirect}};
  return list;
}

bool SetConnectionOptions(platform::InternetOptions& internet, const platform::TextCodec& codec,
                          std::wstring conn_name, std::wstring proxy_full_addr) {
  return Apply(internet, MakeProxyOptionList(codec, conn_name, proxy_full_addr));
}

bool DisableConnectionProxy(platform::InternetOptions& internet, const platform::TextCodec& codec,
                            std::wstring conn_name) {
  return Apply(internet, MakeDirectOptionList(codec, conn_name));
}

}  // namespace rerevure::switching
