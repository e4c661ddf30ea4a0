#include "platform/Win32MessageWindow.h"

#include <utility>

namespace rerevure::platform {
namespace {

constexpr wchar_t kClassName[] = L"RerevureMessageWindow";

}  // namespace

Win32MessageWindow::Win32MessageWindow(ErrorReport& errors, Handler handler)
    : Win32Window(errors), handler_(std::move(handler)) {
  WNDCLASSEXW window_class{};
  window_class.lpszClassName = kClassName;
  RegisterClassOnce(window_class);
  Create(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

LRESULT Win32MessageWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER || message >= WM_APP) {
    handler_(message, wparam);
    return 0;
  }
  return Win32Window::HandleMessage(message, wparam, lparam);
}

}  // namespace rerevure::platform
