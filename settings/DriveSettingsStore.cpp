#include "settings/DriveSettingsStore.h"

#include <memory>
#include <utility>

#include "settings/SettingReader.h"

namespace rerevure::settings {

std::wstring ValuePath(std::wstring_view name) {
  std::wstring path(kSettingsKey);
  path += L'\\';
  path += name;
  return path;
}

DriveSettingsStore::LoadResult DriveSettingsStore::Load() {
  LoadResult result;
  SettingReader reader(shells_, policies_);
  for (std::size_t i = 0; i < kDriveValues.size(); ++i) {
    const DriveValue& value = kDriveValues[i];
    SettingRead read = reader.Read(value.name, value.by_policy);
    if (read.value) result.settings.*value.setting = std::move(*read.value);
    result.by_policy[i] = read.by_policy;
    if (read.failure && !result.failure) result.failure = std::move(read.failure);
  }
  return result;
}

void DriveSettingsStore::Save(const switching::DriveSettings& settings,
                              const PolicySetValues& by_policy) {
  const std::unique_ptr<platform::AutomationShell> shell =
      shells_.Create(std::wstring(kShellProgId));
  for (std::size_t i = 0; i < kDriveValues.size(); ++i) {
    if (by_policy[i]) continue;
    const DriveValue& value = kDriveValues[i];
    shell->RegWrite(ValuePath(value.name), settings.*value.setting, std::wstring(kStringType));
  }
}

}  // namespace rerevure::settings
