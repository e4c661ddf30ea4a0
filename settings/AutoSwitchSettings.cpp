#include "settings/AutoSwitchSettings.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/PlatformError.h"
#include "settings/DriveSettingsStore.h"
#include "settings/PolicyValue.h"

namespace rerevure::settings {
namespace {

std::wstring TrimBlanks(std::wstring_view text) {
  const auto first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return {};
  return std::wstring(text.substr(first, text.find_last_not_of(L' ') - first + 1));
}

std::vector<std::wstring> SplitNames(std::wstring_view list) {
  std::vector<std::wstring> names;
  for (std::size_t start = 0; start <= list.size();) {
    const std::size_t end = std::min(list.find(L';', start), list.size());
    std::wstring name = TrimBlanks(list.substr(start, end - start));
    if (!name.empty()) names.push_back(std::move(name));
    start = end + 1;
  }
  return names;
}

}  // namespace

AutoSwitchSettings LoadAutoSwitchSettings(platform::AutomationShellFactory& shells,
                                          platform::PolicyValues& policies) {
  AutoSwitchSettings settings;
  // Whatever fails here leaves the program as it is without these values.
  try {
    // Made only for a value no policy sets.
    std::unique_ptr<platform::AutomationShell> shell;
    const auto read = [&](std::wstring_view name) {
      if (std::optional<std::wstring> enforced = PolicyValue(policies, name)) return *enforced;
      if (!shell) shell = shells.Create(std::wstring(kShellProgId));
      if (!shell) return std::wstring();
      return shell->RegRead(ValuePath(name));
    };
    if (read(kAutoSwitchValue) != L"1") return settings;
    settings.enabled = true;
    settings.school_networks = SplitNames(read(kSchoolNetworksValue));
  } catch (const platform::PlatformError&) {
  }
  return settings;
}

}  // namespace rerevure::settings
