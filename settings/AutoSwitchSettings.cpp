#include "settings/AutoSwitchSettings.h"

#include <algorithm>

#include "settings/SettingReader.h"

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
  SettingReader reader(shells, policies);
  if (reader.Read(kAutoSwitchValue).value != L"1") return settings;
  // Names the school meant but that could not be read would make the school
  // "elsewhere": switching stays off rather than send the laptop home there.
  const SettingRead names = reader.Read(kSchoolNetworksValue);
  if (!names.value && names.failure) return settings;
  settings.school_networks = SplitNames(names.value.value_or(L""));
  settings.enabled = true;
  return settings;
}

}  // namespace rerevure::settings
