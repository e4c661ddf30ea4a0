#include "platform/win32/Win32MessageWindow.h"

#include <utility>

namespace rerevure::platform {
namespace {

constexpr wchar_t kClassName[] = L"RerevureMessageWindow";

}  // namespace

Win32MessageWindow::Win32MessageWindow(ErrorReport& errors, Handler handler)
    : Win32MessageWindow(errors, kClassName, std::move(handler), nullptr) {}

Win32MessageWindow::Win32MessageWindow(ErrorReport& errors, const wchar_t* class_name,
                                       Handler handler, CopyDataHandler copy_data)
    : Win32Window(errors), handler_(std::move(handler)), copy_data_(std::move(copy_data)) {
  WNDCLASSEXW window_class{};
  window_class.lpszClassName = class_name;
  RegisterClassOnce(window_class);
  Create(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
}

LRESULT Win32MessageWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER || message >= WM_APP) {
    handler_(message, wparam);
    return 0;
  }
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    return copy_data_ && data != nullptr && copy_data_(*data) ? TRUE : FALSE;
  }
  return Win32Window::HandleMessage(message, wparam, lparam);
}

}  // namespace rerevure::platform
