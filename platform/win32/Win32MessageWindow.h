#pragma once

#include <windows.h>

#include <functional>

#include "platform/ErrorReport.h"
#include "platform/win32/Win32Window.h"

namespace rerevure::platform {

// A message-only window of the calling thread: the timers set on it and the
// messages posted to it (from any thread) reach handler from the message
// loop. Whatever a handler throws goes to the error report.
class Win32MessageWindow final : public Win32Window {
 public:
  // Receives WM_TIMER and the program's private messages (Win32PrivateMessages.h).
  using Handler = std::function<void(UINT message, WPARAM wparam)>;
  // Receives a WM_COPYDATA another process sent, while it waits for the
  // answer; true when the data was taken.
  using CopyDataHandler = std::function<bool(const COPYDATASTRUCT& data)>;

  // Throws PlatformError when the window cannot be made.
  Win32MessageWindow(ErrorReport& errors, Handler handler);
  // A window of its own class, by whose name another process finds it to
  // send it data.
  Win32MessageWindow(ErrorReport& errors, const wchar_t* class_name, Handler handler,
                     CopyDataHandler copy_data);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  Handler handler_;
  CopyDataHandler copy_data_;
};

}  // namespace rerevure::platform
