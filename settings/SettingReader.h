#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/AutomationShell.h"
#include "platform/PlatformError.h"
#include "platform/PolicyValues.h"
#include "settings/PolicyValue.h"

namespace rerevure::settings {

// One setting as the program finds it.
struct SettingRead {
  std::optional<std::wstring> value;  // empty: no place that could be read sets it
  bool by_policy = false;
  // The first place that could not be read. A value that does not exist is
  // no failure: until the first save none of the user's own does.
  std::optional<ReadFailure> failure;
};

// The one way the program reads its settings: the computer's policy, else
// the user's policy (see ReadPolicy), else the user's own value under
// kSettingsKey through the automation shell object, made at the first such
// read and released with the reader (one reader per load). A place that
// cannot be read is skipped for the next, and the first failure is kept for
// the caller to tell; whether a failure matters is the caller's to decide.
class SettingReader {
 public:
  SettingReader(platform::AutomationShellFactory& shells, platform::PolicyValues& policies)
      : shells_(shells), policies_(policies) {}

  // by_policy false: only the user's own value (never the password from a policy).
  SettingRead Read(std::wstring_view name, bool by_policy = true);

 private:
  platform::AutomationShellFactory& shells_;
  platform::PolicyValues& policies_;
  std::unique_ptr<platform::AutomationShell> shell_;
  // Why the object could not be made: without it no value of the user's is
  // read, and it is not tried again within the load.
  std::optional<platform::PlatformError> no_shell_;
};

// What the user is told of a failure: the value, its key and why, so that
// whoever set it can find it.
std::wstring ReadFailureText(const ReadFailure& failure);

}  // namespace rerevure::settings
