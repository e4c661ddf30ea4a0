#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "platform/InternetOptions.h"
#include "platform/TextCodec.h"

namespace rerevure::switching {

// The values a school sets by policy for its own proxy, named as the
// registry names them.
inline constexpr std::wstring_view kProxyServerValue = L"ProxyServer";
inline constexpr std::wstring_view kProxyBypassValue = L"ProxyBypass";
inline constexpr std::wstring_view kAutoConfigUrlValue = L"AutoConfigURL";

// The longest value handed to the library: INTERNET_MAX_URL_LENGTH, the
// longest address WinINet takes. It documents no bound of its own for the
// proxy and bypass lists, so they are held to the same.
inline constexpr std::size_t kMaxProxyValueLength = 2083;

// What the school's policy sets; a value it does not set, or sets empty,
// leaves the built-in one.
struct SchoolProxyPolicy {
  std::optional<std::wstring> proxy_server;
  std::optional<std::wstring> proxy_bypass;
  std::optional<std::wstring> auto_config_url;
};

// Where the school switch finds the policy, read anew at each switch so that
// a removed policy lets go. Throws PlatformError when a value cannot be read.
class SchoolProxySource {
 public:
  virtual ~SchoolProxySource() = default;
  virtual SchoolProxyPolicy Read() = 0;
};

// A policy value that cannot be handed to the library as it is.
struct BadPolicyValue {
  std::wstring_view name;  // kProxyServerValue...
  std::wstring fault;      // "holds a blank or a control character"
};

// What the school switch sets on the connection: with an automatic
// configuration address, that script (and the policy's proxy as well, when
// it sets one); with a proxy alone, that proxy; otherwise the built-in proxy
// exactly as ever. The bypass list is the policy's, else the built-in one.
// A bad value gives no list at all, never part of one.
std::variant<platform::PerConnectionOptionList, BadPolicyValue> MakeSchoolOptionList(
    const platform::TextCodec& codec, const std::wstring& conn_name,
    const SchoolProxyPolicy& policy);

}  // namespace rerevure::switching
