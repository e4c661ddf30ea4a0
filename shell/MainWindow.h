#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/Application.h"
#include "platform/AutomationShell.h"
#include "platform/Form.h"
#include "platform/Processes.h"
#include "platform/Tray.h"
#include "settings/SettingsWindow.h"
#include "shell/MainWindowNotifier.h"
#include "shell/TrayIcon.h"
#include "switching/NetworkPlace.h"
#include "switching/ProfileSwitch.h"

namespace rerevure::shell {

// The platform operations the main window uses besides the profile switches'.
struct ShellPlatform {
  platform::FormFactory& forms;
  platform::Tray& tray;
  platform::AutomationShellFactory& shells;
  platform::Processes& processes;
  platform::Application& application;
};

// The main window `Form1`: the start-up window with the switch buttons, the
// owner of the tray icon and of the pop-up menu `mnuMain`.
//
// Every way out (the Exit button, the Exit menu item, the platform closing
// the window, the object's end) removes the tray icon first. Once the program
// is ending, no further event of the window does anything.
class MainWindow final : public platform::FormEvents {
 public:
  MainWindow(const ShellPlatform& platform, const switching::ProfilePlatform& profiles,
             settings::SettingsWindow& settings);
  // The window object's termination: the icon must not outlive the program.
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Loads the window (balloon tips enabled, topmost, tray icon added) and
  // shows it.
  void Start();
  bool Ending() const { return ending_; }
  const TrayIcon& Icon() const { return tray_icon_; }

  // listener() runs before each switch the user makes, by button or menu.
  void OnUserSwitch(std::function<void()> listener) { user_switch_ = std::move(listener); }
  // A switch nobody clicked: the tray menu's, answered with a balloon.
  void SwitchByItself(switching::ProfileChange change);

  void OnCommand(int id) override;
  void OnDoubleClick(int control_id) override;
  void OnMouseMove(int button_state) override;
  void OnFocusLost() override;
  void OnClose() override;
  void OnTaskbarCreated() override;

 private:
  void EnableBalloonTips();
  void OpenWebPage();
  void RemoveIconAndEnd();
  bool Active() const { return form_ && !ending_; }

  ShellPlatform platform_;
  switching::ProfilePlatform profiles_;
  settings::SettingsWindow& settings_;
  TrayIcon tray_icon_;
  std::unique_ptr<platform::Form> form_;
  std::optional<MainWindowNotifier> notifier_;
  std::function<void()> user_switch_;
  bool ending_ = false;
};

}  // namespace rerevure::shell
