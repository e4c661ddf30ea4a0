#pragma once

#include <chrono>

namespace rerevure::platform {

// Lets time pass on the calling thread before trying something again.
class Pause {
 public:
  virtual ~Pause() = default;
  virtual void For(std::chrono::milliseconds time) = 0;
};

}  // namespace rerevure::platform
