#include "settings/AutoSwitchSettings.h"

#include <algorithm>
#include <memory>

#include "platform/PlatformError.h"
#include "settings/DriveSettingsStore.h"

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

AutoSwitchSettings LoadAutoSwitchSettings(platform::AutomationShellFactory& shells) {
  AutoSwitchSettings settings;
  // Whatever fails here leaves the program as it is without these values.
  try {
    const std::unique_ptr<platform::AutomationShell> shell =
        shells.Create(std::wstring(kShellProgId));
    if (!shell || shell->RegRead(ValuePath(kAutoSwitchValue)) != L"1") return settings;
    settings.enabled = true;
    settings.school_networks = SplitNames(shell->RegRead(ValuePath(kSchoolNetworksValue)));
  } catch (const platform::PlatformError&) {
  }
  return settings;
}

}  // namespace rerevure::settings
