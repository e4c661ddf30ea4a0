#pragma once

#include "platform/Application.h"

namespace rerevure::platform {

// Ends the program by ending its message loop: WM_QUIT makes the loop
// return, and wWinMain then releases every window and the process exits.
// Restart Manager closes it with the end-session messages (see Win32Form).
class Win32Application final : public Application {
 public:
  void End() override;
  void RestartAfterUpdate(const std::wstring& arguments) override;
};

}  // namespace rerevure::platform
