#include "settings/SchoolProxyPolicyReader.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/PlatformError.h"
#include "settings/PolicyValue.h"

namespace rerevure::settings {
namespace {

std::optional<std::wstring> Read(platform::PolicyValues& policies, std::wstring_view name) {
  PolicyRead read = ReadPolicy(policies, name);
  if (!read.value && read.failure) {
    const ReadFailure& failure = *read.failure;
    throw platform::PlatformError(failure.error.Number(),
                                  L"the policy value " + failure.name + L" under \"" + failure.key +
                                      L"\" could not be read: " + failure.error.Description());
  }
  return std::move(read.value);
}

}  // namespace

switching::SchoolProxyPolicy ReadSchoolProxyPolicy(platform::PolicyValues& policies) {
  return {
      .proxy_server = Read(policies, switching::kProxyServerValue),
      .proxy_bypass = Read(policies, switching::kProxyBypassValue),
      .auto_config_url = Read(policies, switching::kAutoConfigUrlValue),
  };
}

}  // namespace rerevure::settings
