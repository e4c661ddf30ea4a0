#pragma once

#include <span>
#include <string>

#include "platform/Application.h"
#include "platform/DomainMembership.h"
#include "platform/ErrorReport.h"
#include "platform/NetworkList.h"
#include "platform/PolicyValues.h"
#include "settings/SettingsWindow.h"
#include "shell/AutoSwitch.h"
#include "shell/CommandLine.h"
#include "shell/MainWindow.h"
#include "switching/ProfileSwitch.h"

namespace rerevure::shell {

// Everything the program uses of the platform.
struct ProgramPlatform {
  ShellPlatform shell;
  switching::ProfilePlatform profiles;
  platform::ErrorReport& errors;
  // What switching by itself uses besides the switches' and the shell's.
  platform::NetworkList& networks;
  // What Group Policy sets in place of the user's own settings.
  platform::PolicyValues& policies;
  // Whether a domain network can tell the school without a name.
  platform::DomainMembership& domain;
};

// The program's windows and their start: the settings window object exists
// from the start but is loaded only on first use; the main window is the
// start-up window, loaded and shown by Start.
class Program {
 public:
  explicit Program(const ProgramPlatform& platform);

  // Loads and shows the main window. Its tray icon is up when this returns.
  // With requests (a script's command line) the window is loaded hidden and
  // they are carried out in order once it has loaded. Then, if the school
  // turned it on, the program looks where the laptop is and switches by
  // itself (never undoing a switch the requests made). It is registered to
  // be started again after an installer replaced the program file.
  void Start(std::span<const Request> requests = {});
  // Requests a later start handed over, as RequestsText wrote them: read
  // once, here, into the main window's queue while the sender waits; then
  // carried out by PerformQueued.
  void TakeHandedOver(const std::wstring& text);
  // Carries out the requests that wait, as the main window does every
  // request (see MainWindow::PerformWaiting).
  void PerformQueued();
  // Once the message loop has ended: from then on nothing handed over (a
  // later start's requests, network changes) reaches the windows, which may
  // be half gone; what a late message brings is dropped.
  void Stop() { stopped_ = true; }

  MainWindow& Main() { return main_; }
  settings::SettingsWindow& Settings() { return settings_; }

 private:
  // Declared first: the main window refers to it, so it is released last.
  settings::SettingsWindow settings_;
  MainWindow main_;
  platform::Application& application_;
  AutoSwitch auto_switch_;
  bool stopped_ = false;
};

}  // namespace rerevure::shell
