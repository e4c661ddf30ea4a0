#pragma once

#include "platform/Application.h"

namespace rerevure::platform {

// Ends the program by ending its message loop: WM_QUIT makes the loop
// return, and wWinMain then releases every window and the process exits.
class Win32Application final : public Application {
 public:
  void End() override;
};

}  // namespace rerevure::platform
