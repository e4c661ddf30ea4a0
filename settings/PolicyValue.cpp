#include "settings/PolicyValue.h"

#include <utility>

namespace rerevure::settings {

PolicyRead ReadPolicy(platform::PolicyValues& policies, std::wstring_view name) {
  PolicyRead read;
  for (const platform::PolicyScope scope :
       {platform::PolicyScope::Machine, platform::PolicyScope::User}) {
    try {
      read.value = policies.Read(scope, std::wstring(kPolicyKey), std::wstring(name));
      if (read.value) break;
    } catch (const platform::PlatformError& error) {
      if (read.failure) continue;
      std::wstring key = scope == platform::PolicyScope::Machine ? L"HKEY_LOCAL_MACHINE\\"
                                                                 : L"HKEY_CURRENT_USER\\";
      read.failure = ReadFailure{key + std::wstring(kPolicyKey), std::wstring(name), error};
    }
  }
  return read;
}

}  // namespace rerevure::settings
