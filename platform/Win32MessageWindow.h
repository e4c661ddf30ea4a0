#pragma once

#include <windows.h>

#include <functional>

#include "platform/ErrorReport.h"
#include "platform/Win32Window.h"

namespace rerevure::platform {

// A message-only window of the calling thread: the timers set on it and the
// messages posted to it (from any thread) reach handler from the message
// loop. Whatever handler throws goes to the error report.
class Win32MessageWindow final : public Win32Window {
 public:
  // Receives WM_TIMER and the messages from WM_APP on.
  using Handler = std::function<void(UINT message, WPARAM wparam)>;

  // Throws PlatformError when the window cannot be made.
  Win32MessageWindow(ErrorReport& errors, Handler handler);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  Handler handler_;
};

}  // namespace rerevure::platform
