#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "platform/Application.h"
#include "platform/AutomationShell.h"
#include "platform/Form.h"
#include "platform/Processes.h"
#include "platform/Timer.h"
#include "platform/Tray.h"
#include "settings/SettingsWindow.h"
#include "shell/CommandLine.h"
#include "shell/MainWindowNotifier.h"
#include "shell/TrayIcon.h"
#include "shell/TrayPresence.h"
#include "switching/NetworkPlace.h"
#include "switching/ProfileSwitch.h"

namespace rerevure::shell {

enum class Profile { School, Home };

// The platform operations the main window uses besides the profile switches'.
struct ShellPlatform {
  platform::FormFactory& forms;
  platform::Tray& tray;
  platform::AutomationShellFactory& shells;
  platform::Processes& processes;
  platform::Application& application;
  platform::TimerFactory& timers;
};

// The main window `Form1`: the start-up window with the switch buttons, the
// owner of the tray icon and of the pop-up menu `mnuMain`.
//
// Every way out (the Exit button, the Exit menu item, /exit, the platform
// closing the window, the end of the session) first ends a drive script still
// running (after a short grace), deletes it and lets no switch write or start
// one any more, then removes the tray icon; the object's end removes the
// icon. Once the program is ending, no further event of the window does
// anything.
class MainWindow final : public platform::FormEvents {
 public:
  MainWindow(const ShellPlatform& platform, const switching::ProfilePlatform& profiles,
             settings::SettingsWindow& settings);
  // The window object's termination: the icon must not outlive the program.
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Removes a drive script an earlier run left, loads the window (balloon
  // tips enabled, topmost, tray icon added) and shows it; a program started
  // for a script's request stays hidden, with only its tray icon.
  void Start(bool shown = true);
  // The profile switch as the tray menu does it, answered with a balloon:
  // for requests nobody clicked for, which must never wait on a box.
  void SwitchWithoutBox(Profile profile);
  // A request of the command line or of a later start joins the one queue
  // of requests that wait; a switch asked for by name is the user's own.
  void Queue(Request request);
  // The one place requests are carried out: those that wait, in order, each
  // on its own, unless a command or a request runs (a request taken while a
  // button's handler waits in its message box waits for that handler) or the
  // program is ending. Nobody may be there to close a box, so each failure is
  // a warning balloon, and the requests after it go on.
  void PerformWaiting();
  bool Ending() const { return ending_; }
  const TrayIcon& Icon() const { return tray_icon_; }

  // listener() runs before each switch the user makes: by button, by menu,
  // or asked for by name on a command line.
  void OnUserSwitch(std::function<void()> listener) { user_switch_ = std::move(listener); }
  // A switch nobody clicked: the tray menu's, answered with a balloon. It
  // waits in the queue behind what is already there.
  void SwitchByItself(switching::ProfileChange change);

  void OnCommand(int id) override;
  void OnDoubleClick(int control_id) override;
  void OnMouseMove(int button_state) override;
  void OnFocusLost() override;
  void OnClose() override;
  void OnTaskbarCreated() override;

 private:
  void EnableBalloonTips();
  // Every way of hiding the window: only while the tray icon can bring it back.
  void HideToTray();
  void OpenWebPage();
  void RemoveIconAndEnd();
  bool Active() const { return form_ && !ending_; }
  // Set while a command or a request runs: what arrives meanwhile (from a
  // message box's loop) waits in the queue.
  class Busy {
   public:
    explicit Busy(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Busy() { flag_ = was_; }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    bool& flag_;
    const bool was_;
  };

  void Command(int id);
  void MarkUserSwitch();
  bool CanPerformNext() const { return !busy_ && Active() && !queue_.empty(); }
  void CarryOut(Request request);
  void SwitchToSchoolUnattended();
  void TellFailure(Request request, const platform::PlatformError& error) noexcept;

  ShellPlatform platform_;
  switching::ProfilePlatform profiles_;
  settings::SettingsWindow& settings_;
  TrayIcon tray_icon_;
  TrayPresence tray_presence_;
  std::unique_ptr<platform::Form> form_;
  std::optional<MainWindowNotifier> notifier_;
  std::function<void()> user_switch_;
  bool ending_ = false;
  bool busy_ = false;
  std::deque<Request> queue_;
};

}  // namespace rerevure::shell
