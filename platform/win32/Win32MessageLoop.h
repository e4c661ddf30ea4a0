#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

namespace rerevure::platform {

// The user-interface thread's message loop. Keyboard messages of a form go
// through the dialog manager first, so that Tab, Shift+Tab, the access keys
// (Alt+S...), Enter and Esc behave as in a dialog; everything else is
// translated and dispatched.
class Win32MessageLoop {
 public:
  // Runs until WM_QUIT arrives (Application::End posts it); returns its code.
  static int Run();

  // Handles messages as Run does until done() holds or the time is up;
  // returns done(). A WM_QUIT met on the way is posted again for the caller's
  // own loop. For tests, and for waiting on the user-interface thread.
  static bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

  // Handles everything already queued, without waiting.
  static void PumpPending();

  // One message, as the loop handles it.
  static void Dispatch(MSG& message);
};

}  // namespace rerevure::platform
