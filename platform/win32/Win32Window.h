#pragma once

#include <windows.h>

#include <string>

#include "platform/ErrorReport.h"

namespace rerevure::platform {

// The text of a window of this thread: a caption, or a control's contents.
std::wstring WindowText(HWND hwnd);

// The base of every window class of the program's own. One static window
// procedure binds the object to its handle at WM_NCCREATE, hands each message
// to the virtual HandleMessage, and lets go at WM_NCDESTROY. Whatever a
// handler throws is caught there and goes to the error report: an exception
// must never unwind through the system's code that called the procedure.
class Win32Window {
 public:
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Null before Create and after the window was destroyed.
  HWND Hwnd() const noexcept { return hwnd_; }

  // The object behind a window of one of the program's classes, or null for
  // any other window.
  static Win32Window* FromHandle(HWND hwnd) noexcept;

 protected:
  explicit Win32Window(ErrorReport& errors) noexcept : errors_(errors) {}
  // Detaches the object first, so that the messages of the destruction go to
  // the default procedure and never to a half-destroyed object. A class that
  // must see its own WM_DESTROY destroys the window in its own destructor.
  virtual ~Win32Window();

  // Registers a class whose procedure is the binding one; the first call for
  // a class name wins. Throws PlatformError when the system refuses.
  static void RegisterClassOnce(WNDCLASSEXW window_class);

  // Creates the window bound to this object. Throws PlatformError on failure.
  void Create(DWORD ex_style, const wchar_t* class_name, const wchar_t* text, DWORD style, int x,
              int y, int width, int height, HWND parent, HMENU menu);

  // One message. The default is the system's default procedure.
  virtual LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);

  ErrorReport& Errors() const noexcept { return errors_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                     LPARAM lparam) noexcept;

  ErrorReport& errors_;
  HWND hwnd_ = nullptr;
};

}  // namespace rerevure::platform
