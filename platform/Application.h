#pragma once

namespace rerevure::platform {

// The program as a whole.
class Application {
 public:
  virtual ~Application() = default;
  // Ends the program: the message loop stops, every window is closed and the
  // process exits once the calling handler has returned.
  virtual void End() = 0;
};

}  // namespace rerevure::platform
