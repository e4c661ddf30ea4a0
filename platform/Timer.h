#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace rerevure::platform {

// A repeating timer of the user-interface thread: its ticks arrive through
// the message loop between other events, never on a thread of their own.
class Timer {
 public:
  virtual ~Timer() = default;
  // Ticks every interval from now on; a running timer starts over.
  // Throws PlatformError when the system has no timer to give.
  virtual void Start(std::chrono::milliseconds interval) = 0;
  virtual void Stop() = 0;
};

class TimerFactory {
 public:
  virtual ~TimerFactory() = default;
  // A stopped timer that calls tick on each tick; an exception from tick goes
  // to the error report. Throws PlatformError.
  virtual std::unique_ptr<Timer> Create(std::function<void()> tick) = 0;
};

}  // namespace rerevure::platform
