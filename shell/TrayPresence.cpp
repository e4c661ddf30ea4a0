#include "shell/TrayPresence.h"

#include <exception>

namespace rerevure::shell {

void TrayPresence::Add() { Settle(icon_.AddIcon()); }

void TrayPresence::AddAgain() {
  retries_left_ = kRetries;
  Settle(icon_.AddIconAgain());
}

void TrayPresence::Remove() {
  if (retrying_) timer_->Stop();
  retrying_ = false;
  icon_.RemoveIcon();
  in_tray_ = false;
}

void TrayPresence::Retry() {
  --retries_left_;
  Settle(icon_.AddIconAgain());
}

void TrayPresence::Settle(bool added) {
  in_tray_ = added;
  const bool retry = !added && retries_left_ > 0;
  if (retry == retrying_) return;
  retrying_ = retry;
  if (!retry) {
    timer_->Stop();
    return;
  }
  // Without a timer the icon comes back only with a new taskbar; the window
  // stays shown meanwhile, so the program is still of use and goes on.
  try {
    if (!timer_) timer_ = timers_.Create([this] { Retry(); });
    timer_->Start(kRetryInterval);
  } catch (const std::exception&) {
    retrying_ = false;
  }
}

}  // namespace rerevure::shell
