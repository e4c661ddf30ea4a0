#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/PolicyValues.h"

namespace rerevure::settings {

// Where Group Policy keeps the program's policies, in the computer's and in
// the user's hive. The user's own values stay under kSettingsKey.
inline constexpr std::wstring_view kPolicyKey = L"Software\\Policies\\Rerevure";

// A place a setting could not be read from, and why: what a user or an
// administrator needs to find it.
struct ReadFailure {
  std::wstring key;   // the full key, e.g. "HKEY_LOCAL_MACHINE\Software\Policies\Rerevure"
  std::wstring name;  // the value's name under it
  platform::PlatformError error;
};

// What the policies say of one value.
struct PolicyRead {
  std::optional<std::wstring> value;   // the first scope's that sets it
  std::optional<ReadFailure> failure;  // the first scope that could not be read
};

// The computer's policy for `name`, else the user's. A scope whose value
// cannot be read (of another type, no access) is skipped for the next, as
// one that does not set it is; a removed policy lets go at the next read.
PolicyRead ReadPolicy(platform::PolicyValues& policies, std::wstring_view name);

}  // namespace rerevure::settings
