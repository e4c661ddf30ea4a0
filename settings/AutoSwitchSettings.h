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

// Reads them once at start, each the one way (see SettingReader): a place
// that cannot be read is skipped for the next. AutoSwitch "1" turns
// switching by itself on; absent, unreadable or anything else leaves it off.
// SchoolNetworks, read only when it is on, lists names separated by ';'; when
// it cannot be read in any place that could set it, switching stays off.
AutoSwitchSettings LoadAutoSwitchSettings(platform::AutomationShellFactory& shells,
                                          platform::PolicyValues& policies);

}  // namespace rerevure::settings
