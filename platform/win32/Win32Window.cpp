#include "platform/win32/Win32Window.h"

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
  return text;
}

Win32Window::~Win32Window() {
  if (hwnd_ != nullptr) {
    const HWND hwnd = hwnd_;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

Win32Window* Win32Window::FromHandle(HWND hwnd) noexcept {
  // Only a window whose class runs our procedure keeps an object pointer in
  // its user data; any other window may keep anything there.
  if (hwnd == nullptr ||
      GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&WindowProc)) {
    return nullptr;
  }
  return reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Win32Window::RegisterClassOnce(WNDCLASSEXW window_class) {
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &WindowProc;
  if (window_class.hInstance == nullptr) window_class.hInstance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(window_class.hInstance, window_class.lpszClassName, &existing)) return;
  if (RegisterClassExW(&window_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw LastPlatformError();
  }
}

void Win32Window::Create(DWORD ex_style, const wchar_t* class_name, const wchar_t* text,
                         DWORD style, int x, int y, int width, int height, HWND parent,
                         HMENU menu) {
  const HWND hwnd = CreateWindowExW(ex_style, class_name, text, style, x, y, width, height, parent,
                                    menu, GetModuleHandleW(nullptr), this);
  if (hwnd == nullptr) {
    PlatformError error = LastPlatformError();
    hwnd_ = nullptr;
    throw error;
  }
}

LRESULT Win32Window::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Win32Window::WindowProc(HWND hwnd, UINT message, WPARAM wparam,
                                         LPARAM lparam) noexcept {
  Win32Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    if (self != nullptr) {
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  // Messages sent before WM_NCCREATE (WM_GETMINMAXINFO) or after the object
  // let go have no object to go to.
  if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);

  LRESULT result = 0;
  bool handled = false;
  RunReportingErrors(self->errors_, [&] {
    result = self->HandleMessage(message, wparam, lparam);
    handled = true;
  });
  // A creation whose handler failed must fail, not leave a half-built window.
  if (!handled && message == WM_NCCREATE) result = FALSE;
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace rerevure::platform
