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
  // Between messages it also waits for the watched handles.
  static int Run();

  // Has Run call signalled, once, when handle is signalled (a process that
  // ended), and forget the handle then. The handle must stay open until it is
  // signalled or unwatched. No thread: the wait is the loop's own.
  static void Watch(HANDLE handle, std::function<void()> signalled);
  static void Unwatch(HANDLE handle);

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
