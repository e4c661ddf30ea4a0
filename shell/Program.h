#pragma once

#include "platform/ErrorReport.h"
#include "settings/SettingsWindow.h"
#include "shell/AutoSwitch.h"
#include "shell/MainWindow.h"
#include "switching/ProfileSwitch.h"

namespace rerevure::shell {

// Everything the program uses of the platform.
struct ProgramPlatform {
  ShellPlatform shell;
  switching::ProfilePlatform profiles;
  platform::ErrorReport& errors;
  AutoSwitchPlatform auto_switch;
};

// The program's windows and their start: the settings window object exists
// from the start but is loaded only on first use; the main window is the
// start-up window, loaded and shown by Start.
class Program {
 public:
  explicit Program(const ProgramPlatform& platform);

  // Loads and shows the main window, then switches by itself if the school
  // turned that on. The tray icon is up when this returns.
  void Start();

  MainWindow& Main() { return main_; }
  settings::SettingsWindow& Settings() { return settings_; }

 private:
  // Declared first: the main window refers to it, so it is released last.
  settings::SettingsWindow settings_;
  MainWindow main_;
  AutoSwitch auto_switch_;
};

}  // namespace rerevure::shell
