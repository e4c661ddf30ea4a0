#include "platform/Win32OneShotTimer.h"

#include <utility>

#include "platform/Win32LastError.h"

namespace rerevure::platform {
namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

void Win32OneShotTimer::Start(std::chrono::milliseconds delay, std::function<void()> due) {
  if (!window_) {
    window_ = std::make_unique<Win32MessageWindow>(errors_, [this](UINT message, WPARAM id) {
      if (message == WM_TIMER && id == kTimerId) Fire();
    });
  }
  due_ = std::move(due);
  // The same id again replaces the running timer, so it starts over.
  if (SetTimer(window_->Hwnd(), kTimerId, static_cast<UINT>(delay.count()), nullptr) == 0) {
    due_ = nullptr;
    throw LastPlatformError();
  }
}

void Win32OneShotTimer::Stop() {
  // Fails only when the timer is not running, which is what was wanted.
  if (window_) KillTimer(window_->Hwnd(), kTimerId);
  due_ = nullptr;
}

void Win32OneShotTimer::Fire() {
  std::function<void()> due = std::exchange(due_, nullptr);
  Stop();
  // due() may start the timer again.
  if (due) due();
}

}  // namespace rerevure::platform
