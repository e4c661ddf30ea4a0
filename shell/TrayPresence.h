#pragma once

#include <chrono>
#include <memory>

#include "platform/Timer.h"
#include "shell/TrayIcon.h"

namespace rerevure::shell {

// Whether the tray icon is really in the tray, and getting it there. At logon
// Explorer is often still busy: an add then fails or times out, and no new
// taskbar follows to ask for the icon again. A failed add is retried every
// kRetryInterval, at most kRetries times, and again with each new taskbar.
// The timer is made only when an add fails.
class TrayPresence {
 public:
  static constexpr std::chrono::milliseconds kRetryInterval{5000};
  static constexpr int kRetries = 60;  // five minutes of a busy Explorer

  TrayPresence(TrayIcon& icon, platform::TimerFactory& timers) : icon_(icon), timers_(timers) {}

  // The add at load.
  void Add();
  // A new taskbar (Explorer restarted) knows no icon: add it again, with a
  // fresh round of retries should that fail.
  void AddAgain();
  // The icon leaves the tray for good; no retry follows.
  void Remove();
  // Until an add succeeded the tray icon cannot bring the window back, so the
  // window must not be hidden.
  bool InTray() const { return in_tray_; }

 private:
  void Retry();
  void Settle(bool added);

  TrayIcon& icon_;
  platform::TimerFactory& timers_;
  std::unique_ptr<platform::Timer> timer_;
  int retries_left_ = kRetries;
  bool retrying_ = false;
  bool in_tray_ = false;
};

}  // namespace rerevure::shell
