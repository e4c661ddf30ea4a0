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

}  // namespace

platform::PerConnectionOptionList MakeProxyOptionList(const platform::TextCodec& codec,
                                                      const std::wstring& conn_name,
                                                      const std::wstring& proxy_full_addr) {
  return MakeOptionList(codec, conn_name, FixedProxy{proxy_full_addr, std::wstring(kProxyBypass)},
                        std::nullopt);
}

platform::PerConnectionOptionList MakeOptionList(
    const platform::TextCodec& codec, const std::wstring& conn_name,
    const std::optional<FixedProxy>& proxy, const std::optional<std::wstring>& auto_config_url) {
  platform::PerConnectionOptionList list;
  list.connection = Terminated(codec, conn_name);
  std::uint32_t flags = platform::kProxyTypeDirect;
  if (proxy) flags |= platform::kProxyTypeProxy;
  if (auto_config_url) flags |= platform::kProxyTypeAutoProxyUrl;
  list.options = {{platform::kPerConnFlags, flags}};
  if (proxy) {
    list.options.push_back({platform::kPerConnProxyServer, Terminated(codec, proxy->server)});
    list.options.push_back({platform::kPerConnProxyBypass, Terminated(codec, proxy->bypass)});
  }
  if (auto_config_url)
    list.options.push_back({platform::kPerConnAutoConfigUrl, Terminated(codec, *auto_config_url)});
  return list;
}

// Sends the list and then both notifications, whatever the library said about
// the list: other programs must reload even after a partial change.
bool ApplyOptionList(platform::InternetOptions& internet,
                     const platform::PerConnectionOptionList& list) {
  const bool accepted = internet.SetPerConnectionOptions(list);
  internet.Notify(platform::kOptionSettingsChanged);
  internet.Notify(platform::kOptionRefresh);
  return accepted;
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
  return ApplyOptionList(internet, MakeProxyOptionList(codec, conn_name, proxy_full_addr));
}

bool DisableConnectionProxy(platform::InternetOptions& internet, const platform::TextCodec& codec,
                            std::wstring conn_name) {
  return ApplyOptionList(internet, MakeDirectOptionList(codec, conn_name));
}

}  // namespace rerevure::switching
