#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/AutomationShell.h"
#include "platform/ErrorReport.h"
#include "platform/Form.h"
#include "platform/PolicyValues.h"
#include "settings/DriveSettingsStore.h"
#include "switching/DriveSettings.h"
#include "switching/SettingsSource.h"

namespace rerevure::settings {

// The settings window `Form2`. Its seven fields are the working copy of the
// drive settings: loaded from the registry on first use, edited by the user,
// written back only by "&Save Settings", and read by the school profile as
// they stand, saved or not.
//
// A field whose value Group Policy sets shows that value, is read-only, and
// is never saved; the user's own value stays underneath for when the policy
// goes.
//
// Lifecycle: not loaded until first used (Show, or any SettingsSource read,
// which loads it hidden); "&Close" hides it and keeps the edits; a close
// through the title bar unloads it, losing the edits, and the next use loads
// it afresh from the registry.
class SettingsWindow final : public switching::SettingsSource, private platform::FormEvents {
 public:
  SettingsWindow(platform::FormFactory& forms, platform::AutomationShellFactory& shells,
                 platform::PolicyValues& policies, platform::ErrorReport& errors);
  ~SettingsWindow() override;
  SettingsWindow(const SettingsWindow&) = delete;
  SettingsWindow& operator=(const SettingsWindow&) = delete;

  // "Shared Drives": shows the window, not modal and without an owner,
  // loading it first if needed. An already shown window keeps its fields.
  void Show();

  // For a switch nobody clicked, which must not wait on a box: loads the
  // window hidden if it is not loaded, and returns what could not be read
  // for the caller to tell, where any other first use reports it.
  std::optional<ReadFailure> LoadUnattended();

  bool IsLoaded() const;
  bool IsVisible() const;
  // The window, while loaded; null otherwise.
  platform::Form* Window() const;

  // SettingsSource: the field's current text, loading the window hidden first.
  std::wstring UserArea() override;
  std::wstring SchoolShare() override;
  std::wstring StaffShare() override;
  std::wstring Extra1() override;
  std::wstring Extra2() override;
  std::wstring Username() override;
  std::wstring Password() override;

 private:
  // platform::FormEvents
  void OnCommand(int id) override;
  void OnClose() override;

  void EnsureLoaded();
  std::optional<ReadFailure> Load();
  void Save();
  void ShowHelp();
  std::wstring Field(int id);
  switching::DriveSettings Fields() const;

  platform::FormFactory& forms_;
  platform::ErrorReport& errors_;
  DriveSettingsStore store_;
  std::unique_ptr<platform::Form> form_;
  // What policy set at the load of the window that is loaded now.
  PolicySetValues by_policy_{};
};

}  // namespace rerevure::settings
