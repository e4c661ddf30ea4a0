#include "platform/Win32Timer.h"

#include "platform/Win32LastError.h"

namespace rerevure::platform {
namespace {

constexpr const wchar_t* kTimerClassName = L"Rerevure.Timer";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

Win32Timer::Win32Timer(std::function<void()> tick, ErrorReport& errors)
    : Win32Window(errors), tick_(std::move(tick)) {
  WNDCLASSEXW window_class{};
  window_class.lpszClassName = kTimerClassName;
  RegisterClassOnce(window_class);
  Create(0, kTimerClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

void Win32Timer::Start(std::chrono::milliseconds interval) {
  // The same id again replaces the running timer's interval and start.
  if (SetTimer(Hwnd(), kTimerId, static_cast<UINT>(interval.count()), nullptr) == 0) {
    throw LastPlatformError();
  }
}

void Win32Timer::Stop() {
  // Fails only for a timer that is not running, which is what was wanted.
  KillTimer(Hwnd(), kTimerId);
}

LRESULT Win32Timer::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER && wparam == kTimerId) {
    tick_();
    return 0;
  }
  return Win32Window::HandleMessage(message, wparam, lparam);
}

std::unique_ptr<Timer> Win32TimerFactory::Create(std::function<void()> tick) {
  return std::make_unique<Win32Timer>(std::move(tick), errors_);
}

}  // namespace rerevure::platform
