#pragma once

#include <string>

namespace rerevure::platform {

// The program as a whole.
class Application {
 public:
  virtual ~Application() = default;
  // Ends the program: the message loop stops, every window is closed and the
  // process exits once the calling handler has returned.
  virtual void End() = 0;
  // Asks Windows to start the program again, with these arguments, once an
  // installer that ended it to replace the program file (Windows Installer's
  // Restart Manager) has finished; never after a crash, a hang or a restart
  // of the computer, where the logon start brings it back. Without effect
  // where Windows cannot do it: the program runs on all the same.
  virtual void RestartAfterUpdate(const std::wstring& arguments) = 0;
};

}  // namespace rerevure::platform
