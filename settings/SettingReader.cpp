#include "settings/SettingReader.h"

#include <utility>

#include "settings/DriveSettingsStore.h"

namespace rerevure::settings {

SettingRead SettingReader::Read(std::wstring_view name, bool by_policy) {
  SettingRead read;
  if (by_policy) {
    PolicyRead policy = ReadPolicy(policies_, name);
    read.failure = std::move(policy.failure);
    if (policy.value) {
      read.value = std::move(policy.value);
      read.by_policy = true;
      return read;
    }
  }
  const auto fail = [&](const platform::PlatformError& error) {
    if (!read.failure)
      read.failure = ReadFailure{std::wstring(kSettingsKey), std::wstring(name), error};
  };
  if (!shell_ && !no_shell_) {
    try {
      shell_ = shells_.Create(std::wstring(kShellProgId));
    } catch (const platform::PlatformError& error) {
      // Whatever its number: without the object nothing of the user's is read.
      no_shell_ = error;
    }
  }
  if (no_shell_) {
    fail(*no_shell_);
    return read;
  }
  try {
    read.value = shell_->RegRead(ValuePath(name));
  } catch (const platform::PlatformError& error) {
    if (error.Number() != kValueMissing) fail(error);
  }
  return read;
}

std::wstring ReadFailureText(const ReadFailure& failure) {
  return L"The setting \"" + failure.name + L"\" under \"" + failure.key +
         L"\" could not be read: " + failure.error.Description();
}

}  // namespace rerevure::settings
