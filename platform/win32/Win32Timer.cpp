#include "platform/win32/Win32Timer.h"

#include <utility>

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {
namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

Win32Timer::Win32Timer(std::function<void()> tick, ErrorReport& errors)
    : window_(errors, [tick = std::move(tick)](UINT message, WPARAM wparam) {
        if (message == WM_TIMER && wparam == kTimerId) tick();
      }) {}

void Win32Timer::Start(std::chrono::milliseconds interval) {
  // The same id again replaces the running timer's interval and start.
  if (SetTimer(window_.Hwnd(), kTimerId, static_cast<UINT>(interval.count()), nullptr) == 0) {
    throw LastPlatformError();
  }
}

void Win32Timer::Stop() {
  // Fails only for a timer that is not running, which is what was wanted.
  KillTimer(window_.Hwnd(), kTimerId);
}

std::unique_ptr<Timer> Win32TimerFactory::Create(std::function<void()> tick) {
  return std::make_unique<Win32Timer>(std::move(tick), errors_);
}

}  // namespace rerevure::platform
