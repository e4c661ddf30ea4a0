#include "settings/DriveSettingsStore.h"

#include <memory>

namespace rerevure::settings {

std::wstring ValuePath(std::wstring_view name) {
  std::wstring path(kSettingsKey);
  path += L'\\';
  path += name;
  return path;
}

DriveSettingsStore::LoadResult DriveSettingsStore::Load() {
  LoadResult result;
  std::unique_ptr<platform::AutomationShell> shell;
  try {
    shell = shells_.Create(std::wstring(kShellProgId));
  } catch (const platform::PlatformError& error) {
    result.failure = error;
    return result;
  }
  for (const DriveValue& value : kDriveValues) {
    try {
      result.settings.*value.setting = shell->RegRead(ValuePath(value.name));
    } catch (const platform::PlatformError& error) {
      if (error.Number() != kValueMissing && !result.failure) result.failure = error;
    }
  }
  return result;
}

void DriveSettingsStore::Save(const switching::DriveSettings& settings) {
  const std::unique_ptr<platform::AutomationShell> shell =
      shells_.Create(std::wstring(kShellProgId));
  for (const DriveValue& value : kDriveValues) {
    shell->RegWrite(ValuePath(value.name), settings.*value.setting, std::wstring(kStringType));
  }
}

}  // namespace rerevure::settings
