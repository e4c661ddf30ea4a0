#pragma once

#include <optional>
#include <string>

namespace rerevure::platform {

// Whose Group Policy set a value: the computer's (Computer Configuration,
// HKEY_LOCAL_MACHINE) or the signed-in user's (User Configuration,
// HKEY_CURRENT_USER).
enum class PolicyScope { Machine, User };

// The values Group Policy writes for the program under a Software\Policies
// key. Only the policy engine writes there, and it removes a value when its
// policy is no longer set: the program only reads.
class PolicyValues {
 public:
  virtual ~PolicyValues() = default;
  // The value `name` of `key` (e.g. "Software\Policies\Rerevure") in the
  // scope's hive, as text: an expandable string (REG_EXPAND_SZ) expanded for
  // the signed-in user, a number (REG_DWORD) as its decimal digits. Empty
  // when the policy is not set (no key or no value). Throws PlatformError for
  // any other failure, a value of another type included.
  virtual std::optional<std::wstring> Read(PolicyScope scope, const std::wstring& key,
                                           const std::wstring& name) = 0;
};

}  // namespace rerevure::platform
