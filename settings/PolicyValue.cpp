#include "settings/PolicyValue.h"

namespace rerevure::settings {

std::optional<std::wstring> PolicyValue(platform::PolicyValues& policies, std::wstring_view name) {
  for (const platform::PolicyScope scope :
       {platform::PolicyScope::Machine, platform::PolicyScope::User}) {
    if (auto value = policies.Read(scope, std::wstring(kPolicyKey), std::wstring(name))) {
      return value;
    }
  }
  return std::nullopt;
}

}  // namespace rerevure::settings
