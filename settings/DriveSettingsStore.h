#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/AutomationShell.h"
#include "platform/PlatformError.h"
#include "platform/PolicyValues.h"
#include "settings/PolicyValue.h"
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
  // Whether Group Policy may set it. Never the password: a policy would
  // spread it in clear text to every computer the policy reaches.
  bool by_policy = true;
};

// The seven values in the order they are read and written.
inline constexpr std::array<DriveValue, 7> kDriveValues{{
    {L"UserArea", &switching::DriveSettings::UserArea},
    {L"SchoolShare", &switching::DriveSettings::SchoolShare},
    {L"StaffShare", &switching::DriveSettings::StaffShare},
    {L"Extra1", &switching::DriveSettings::Extra1},
    {L"Extra2", &switching::DriveSettings::Extra2},
    {L"Username", &switching::DriveSettings::Username},
    {L"Password", &switching::DriveSettings::Password, false},
}};

// For each of kDriveValues, in its order: whether a policy set it.
using PolicySetValues = std::array<bool, kDriveValues.size()>;

// The full path the shell object takes: "HKEY_CURRENT_USER\Software\Rerevure\<name>".
std::wstring ValuePath(std::wstring_view name);

// The drive settings in the user's registry, reached through the automation
// shell object: one object per load or save, created just before and
// released right after. A value Group Policy sets (see SettingReader) takes the
// place of the user's own, which stays as it is underneath: when the policy
// goes, the user's value is back.
class DriveSettingsStore {
 public:
  struct LoadResult {
    switching::DriveSettings settings;
    PolicySetValues by_policy{};
    // The first place that could not be read, if any (see SettingReader):
    // the value it hit comes from the next place, or is empty; when the
    // shell object could not be made, so is every value no policy sets.
    std::optional<ReadFailure> failure;
  };

  DriveSettingsStore(platform::AutomationShellFactory& shells, platform::PolicyValues& policies)
      : shells_(shells), policies_(policies) {}

  // Reads all seven values, whatever happens to one of them. Until the first
  // save none exists, so a missing value is simply empty; a value of another
  // type comes back as its text (a number as its decimal digits).
  LoadResult Load();

  // Writes the seven values as REG_SZ, in order, except those a policy set
  // when they were loaded: writing those would leave the policy's value
  // behind as the user's once the policy is removed. Stops at the first
  // failure and throws it: the values before it stay written, and the caller
  // tells the user. A failure at one value is nearly always the key's (no
  // access), which the following writes would only repeat.
  void Save(const switching::DriveSettings& settings, const PolicySetValues& by_policy);

 private:
  platform::AutomationShellFactory& shells_;
  platform::PolicyValues& policies_;
};

}  // namespace rerevure::settings
