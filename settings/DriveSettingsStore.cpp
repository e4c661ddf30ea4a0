#include "settings/DriveSettingsStore.h"

#include <memory>
#include <optional>
#include <utility>

#include "settings/PolicyValue.h"

namespace rerevure::settings {

std::wstring ValuePath(std::wstring_view name) {
  std::wstring path(kSettingsKey);
  path += L'\\';
  path += name;
  return path;
}

DriveSettingsStore::LoadResult DriveSettingsStore::Load() {
  LoadResult result;
  const auto note = [&](const platform::PlatformError& error) {
    if (error.Number() != kValueMissing && !result.failure) result.failure = error;
  };
  std::unique_ptr<platform::AutomationShell> shell;
  try {
    shell = shells_.Create(std::wstring(kShellProgId));
  } catch (const platform::PlatformError& error) {
    // Whatever its number: without the object no value of the user's is read.
    result.failure = error;
  }
  for (std::size_t i = 0; i < kDriveValues.size(); ++i) {
    const DriveValue& value = kDriveValues[i];
    std::wstring& setting = result.settings.*value.setting;
    if (value.by_policy) {
      try {
        if (std::optional<std::wstring> enforced = PolicyValue(policies_, value.name)) {
          setting = std::move(*enforced);
          result.by_policy[i] = true;
          continue;
        }
      } catch (const platform::PlatformError& error) {
        note(error);
      }
    }
    try {
      if (shell) setting = shell->RegRead(ValuePath(value.name));
    } catch (const platform::PlatformError& error) {
      note(error);
    }
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
