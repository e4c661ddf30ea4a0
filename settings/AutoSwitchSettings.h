#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/AutomationShell.h"
#include "platform/PolicyValues.h"

namespace rerevure::settings {

// Two values beside the drive settings, for schools to set (the settings
// window does not show them).
inline constexpr std::wstring_view kAutoSwitchValue = L"AutoSwitch";
inline constexpr std::wstring_view kSchoolNetworksValue = L"SchoolNetworks";

struct AutoSwitchSettings {
  bool enabled = false;
  std::vector<std::wstring> school_networks;  // names as listed, blanks around them dropped
};

// Reads them once at start, each from Group Policy if a policy sets it (see
// PolicyValue), else through the automation shell object from the user's
// own values: AutoSwitch "1" turns switching by itself on; absent,
// unreadable or anything else leaves it off. SchoolNetworks, read only when
// it is on, lists names separated by ';'.
AutoSwitchSettings LoadAutoSwitchSettings(platform::AutomationShellFactory& shells,
                                          platform::PolicyValues& policies);

}  // namespace rerevure::settings
