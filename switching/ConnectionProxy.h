#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/InternetOptions.h"
#include "platform/TextCodec.h"

namespace rerevure::switching {

// The hosts that keep going direct while the proxy is on: local names and the
// organisation's own 172.* network.
inline constexpr std::wstring_view kProxyBypass = L"<local>172.*";

// The option list that puts a connection on a proxy (direct access kept for
// the bypassed hosts), with every text converted to ANSI bytes ending in NUL.
platform::PerConnectionOptionList MakeProxyOptionList(const platform::TextCodec& codec,
                                                      const std::wstring& conn_name,
                                                      const std::wstring& proxy_full_addr);

// A fixed proxy in WinINet's forms: "host:port" or "http=host:port;...", and
// the hosts that bypass it ("<local>", "*.example.org", separated by ';').
struct FixedProxy {
  std::wstring server;
  std::wstring bypass;
};

// The option list that puts a connection on an automatic configuration
// script, on a fixed proxy, or on both (as Internet Options does with both
// boxes ticked); direct access stays allowed. Flags first, then proxy,
// bypass list and script address.
platform::PerConnectionOptionList MakeOptionList(
    const platform::TextCodec& codec, const std::wstring& conn_name,
    const std::optional<FixedProxy>& proxy, const std::optional<std::wstring>& auto_config_url);

// Hands the list to the library, then tells it that its settings changed
// and asks it to reload them. True when the library accepted the list; the
// two notifications are sent either way.
bool ApplyOptionList(platform::InternetOptions& internet,
                     const platform::PerConnectionOptionList& list);

// The option list that sets a connection to direct access only.
platform::PerConnectionOptionList MakeDirectOptionList(const platform::TextCodec& codec,
                                                       const std::wstring& conn_name);

// Puts the connection named conn_name ("" is the default LAN connection) on
// the proxy proxy_full_addr ("host:port"), then tells the library that its
// settings changed and asks it to reload them. True when the library accepted
// the list; the two notifications are sent either way.
bool SetConnectionOptions(platform::InternetOptions& internet, const platform::TextCodec& codec,
                          std::wstring conn_name, std::wstring proxy_full_addr);

// Sets the connection to direct access only, with the same notifications.
bool DisableConnectionProxy(platform::InternetOptions& internet, const platform::TextCodec& codec,
                            std::wstring conn_name);

}  // namespace rerevure::switching
