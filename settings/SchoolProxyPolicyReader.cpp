#include "settings/SchoolProxyPolicyReader.h"

#include <optional>
#include <string>
#include <string_view>

#include "platform/PlatformError.h"
#include "settings/PolicyValue.h"

namespace rerevure::settings {
namespace {

std::optional<std::wstring> Read(platform::PolicyValues& policies, std::wstring_view name) {
  try {
    return PolicyValue(policies, name);
  } catch (const platform::PlatformError& failure) {
    throw platform::PlatformError(failure.Number(), L"the policy value " + std::wstring(name) +
                                                        L" could not be read: " +
                                                        failure.Description());
  }
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
