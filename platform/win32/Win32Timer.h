#pragma once

#include <windows.h>

#include <functional>

#include "platform/ErrorReport.h"
#include "platform/Timer.h"
#include "platform/win32/Win32MessageWindow.h"

namespace rerevure::platform {

// SetTimer on a message-only window of its own: WM_TIMER comes through the
// thread's message loop (modal loops included) to that window's procedure,
// which hands a failing tick to the error report like any other handler.
class Win32Timer final : public Timer {
 public:
  Win32Timer(std::function<void()> tick, ErrorReport& errors);
  ~Win32Timer() override = default;  // destroying the window ends its timer

  void Start(std::chrono::milliseconds interval) override;
  void Stop() override;

 private:
  Win32MessageWindow window_;
};

class Win32TimerFactory final : public TimerFactory {
 public:
  explicit Win32TimerFactory(ErrorReport& errors) : errors_(errors) {}
  std::unique_ptr<Timer> Create(std::function<void()> tick) override;

 private:
  ErrorReport& errors_;
};

}  // namespace rerevure::platform
