#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/PolicyValues.h"

namespace rerevure::settings {

// Where Group Policy keeps the program's policies, in the computer's and in
// the user's hive. The user's own values stay under kSettingsKey.
inline constexpr std::wstring_view kPolicyKey = L"Software\\Policies\\Rerevure";

// The value an administrator set for `name`: the computer's policy wins over
// the user's. Empty when neither sets it, so the user's own value holds; a
// removed policy lets go at the next read. Throws PlatformError when a policy
// cannot be read.
std::optional<std::wstring> PolicyValue(platform::PolicyValues& policies, std::wstring_view name);

}  // namespace rerevure::settings
