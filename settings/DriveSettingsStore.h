#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/AutomationShell.h"
#include "platform/PlatformError.h"
#include "switching/DriveSettings.h"

namespace rerevure::settings {

inline constexpr std::wstring_view kShellProgId = L"WScript.Shell";
inline constexpr std::wstring_view kSettingsKey = L"HKEY_CURRENT_USER\\Software\\Rerevure";
inline constexpr std::wstring_view kStringType = L"REG_SZ";

// What the shell object reports when a value (or its key) does not exist.
inline constexpr std::int32_t kValueMissing = static_cast<std::int32_t>(0x80070002u);

// One of the seven registry values and the setting it holds.
struct DriveValue {
  std::wstring_view name;
  std::wstring switching::DriveSettings::*setting;
};

// The seven values in the order they are read and written.
inline constexpr std::array<DriveValue, 7> kDriveValues{{
    {L"UserArea", &switching::DriveSettings::UserArea},
    {L"SchoolShare", &switching::DriveSettings::SchoolShare},
    {L"StaffShare", &switching::DriveSettings::StaffShare},
    {L"Extra1", &switching::DriveSettings::Extra1},
    {L"Extra2", &switching::DriveSettings::Extra2},
    {L"Username", &switching::DriveSettings::Username},
    {L"Password", &switching::DriveSettings::Password},
}};

// The full path the shell object takes: "HKEY_CURRENT_USER\Software\Rerevure\<name>".
std::wstring ValuePath(std::wstring_view name);

// The drive settings in the user's registry, reached through the automation
// shell object: one object per load or save, created just before and
// released right after.
class DriveSettingsStore {
 public:
  struct LoadResult {
    switching::DriveSettings settings;
    // The first failure other than a missing value, if any: the value it hit
    // (and, when the shell object could not be made, every value) is empty.
    std::optional<platform::PlatformError> failure;
  };

  explicit DriveSettingsStore(platform::AutomationShellFactory& shells) : shells_(shells) {}

  // Reads all seven values, whatever happens to one of them. Until the first
  // save none exists, so a missing value is simply empty; a value of another
  // type comes back as its text (a number as its decimal digits).
  LoadResult Load();

  // Writes the seven values as REG_SZ, in order. Stops at the first failure
  // and throws it: the values before it stay written, and the caller tells
  // the user. A failure at one value is nearly always the key's (no access),
  // which the following writes would only repeat.
  void Save(const switching::DriveSettings& settings);

 private:
  platform::AutomationShellFactory& shells_;
};

}  // namespace rerevure::settings
