#include "switching/SchoolProxy.h"

#include <algorithm>
#include <string>

#include "switching/ConnectionProxy.h"
#include "switching/ProfileTexts.h"

namespace rerevure::switching {
namespace {

// An enabled policy whose field was left empty sets nothing.
std::optional<std::wstring> SetValue(const std::optional<std::wstring>& value) {
  if (value && !value->empty()) return value;
  return std::nullopt;
}

// WinINet separates entries with ';' and reads no further at a control
// character; a blank would end up inside a host name.
bool BlankOrControl(wchar_t c) {
  return c == L' ' || c == L'\u00A0' || c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

std::optional<std::wstring> ListFault(std::wstring_view text) {
  if (std::any_of(text.begin(), text.end(), BlankOrControl))
    return L"holds a blank or a control character";
  if (text.size() > kMaxProxyValueLength)
    return L"is longer than " + std::to_wstring(kMaxProxyValueLength) + L" characters";
  return std::nullopt;
}

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  return std::equal(
      lower_prefix.begin(), lower_prefix.end(), text.begin(), [](wchar_t p, wchar_t c) {
        return p == (c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c);
      });
}

std::optional<std::wstring> AddressFault(std::wstring_view url) {
  std::wstring_view rest;
  for (const std::wstring_view scheme : {L"http://", L"https://"}) {
    if (StartsWithIgnoringCase(url, scheme)) rest = url.substr(scheme.size());
  }
  if (rest.empty() || rest.front() == L'/') return L"is not an http:// or https:// address";
  return ListFault(url);
}

}  // namespace

std::variant<platform::PerConnectionOptionList, BadPolicyValue> MakeSchoolOptionList(
    const platform::TextCodec& codec, const std::wstring& conn_name,
    const SchoolProxyPolicy& policy) {
  const std::optional<std::wstring> server = SetValue(policy.proxy_server);
  const std::optional<std::wstring> auto_config_url = SetValue(policy.auto_config_url);
  if (!server && !auto_config_url)
    return MakeProxyOptionList(codec, conn_name, std::wstring(kSchoolProxyAddress));

  if (auto_config_url) {
    if (const auto fault = AddressFault(*auto_config_url))
      return BadPolicyValue{kAutoConfigUrlValue, *fault};
  }
  std::optional<FixedProxy> proxy;
  if (server) {
    if (const auto fault = ListFault(*server)) return BadPolicyValue{kProxyServerValue, *fault};
    proxy = FixedProxy{*server, SetValue(policy.proxy_bypass).value_or(std::wstring(kProxyBypass))};
    if (const auto fault = ListFault(proxy->bypass))
      return BadPolicyValue{kProxyBypassValue, *fault};
  }
  return MakeOptionList(codec, conn_name, proxy, auto_config_url);
}

}  // namespace rerevure::switching
