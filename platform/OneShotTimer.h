#pragma once

#include <chrono>
#include <functional>

namespace rerevure::platform {

// One timer of the user-interface thread that fires once.
class OneShotTimer {
 public:
  virtual ~OneShotTimer() = default;
  // due() runs once, from the message loop, when delay has passed. Starting
  // a timer that is already running starts it over with the new delay and
  // due(). Throws PlatformError when the system refuses.
  virtual void Start(std::chrono::milliseconds delay, std::function<void()> due) = 0;
  // The timer, if running, does not fire.
  virtual void Stop() = 0;
};

}  // namespace rerevure::platform
