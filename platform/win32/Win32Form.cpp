#include "platform/win32/Win32Form.h"

#include <iterator>
#include <stdexcept>
#include <string_view>

#include "platform/PixelLayout.h"
#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32Owners.h"
#include "platform/win32/Win32PrivateMessages.h"

namespace rerevure::platform {
namespace {

constexpr const wchar_t* kFormClassName = L"Rerevure.Form";

DWORD FormStyle(const FormLayout& layout) {
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  if (layout.border == Border::Sizable) {
    style |= WS_THICKFRAME;
    if (layout.control_box) style |= WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  } else if (layout.control_box) {
    style |= WS_SYSMENU;
  }
  return style;
}

}  // namespace

Win32Form::Win32Form(const FormLayout& layout, FormEvents& events, ErrorReport& errors, int dpi)
    : Win32Window(errors),
      events_(events),
      contents_(events, errors, dpi),
      taskbar_created_(RegisterWindowMessageW(kTaskbarCreatedMessageName)) {
  WNDCLASSEXW window_class{};
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kFormClassName;
  RegisterClassOnce(window_class);

  const DWORD style = FormStyle(layout);
  const DWORD ex_style = 0;
  RECT frame{0, 0, TwipsToPixels(layout.client_width, dpi),
             TwipsToPixels(layout.client_height, dpi)};
  if (!AdjustWindowRectEx(&frame, style, FALSE, ex_style)) throw LastPlatformError();
  const std::wstring caption(layout.caption);
  Create(ex_style, kFormClassName, caption.c_str(), style, 0, 0, frame.right - frame.left,
         frame.bottom - frame.top, nullptr, nullptr);
  try {
    contents_.Build(layout, Hwnd());
  } catch (...) {
    releasing_ = true;  // a window that never finished loading reports nothing
    DestroyWindow(Hwnd());
    throw;
  }
}

Win32Form::~Win32Form() {
  // Destroyed here, while the object can still take the messages of its
  // destruction; the owner, which is releasing the window, hears no more.
  releasing_ = true;
  if (Hwnd() != nullptr) DestroyWindow(Hwnd());
}

// --- messages ----------------------------------------------------------------

LRESULT Win32Form::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  if (releasing_ && message != WM_DESTROY && message != WM_NCDESTROY) {
    return Win32Window::HandleMessage(message, wparam, lparam);
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    events_.OnTaskbarCreated();
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      OnCommandMessage(wparam, lparam);
      return 0;
    case WM_MOUSEMOVE: {  // the tray icon's notifications too (Win32PrivateMessages.h)
      int state = 0;
      if (wparam & MK_LBUTTON) state |= 1;
      if (wparam & MK_RBUTTON) state |= 2;
      if (wparam & MK_MBUTTON) state |= 4;
      events_.OnMouseMove(state);
      return 0;
    }
    case WM_KILLFOCUS: {
      // Handing the focus on to one of its own controls is not losing it.
      const HWND next = reinterpret_cast<HWND>(wparam);
      if (next == nullptr || !IsChild(Hwnd(), next)) events_.OnFocusLost();
      return 0;
    }
    case WM_ACTIVATE:
      // As a dialog does: the control that had the focus gets it back, and
      // the window itself does not take it.
      if (LOWORD(wparam) == WA_INACTIVE) {
        SaveFocus();
      } else if (!HIWORD(wparam)) {
        RestoreFocus();
      }
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_CLOSE:
      CloseByPlatform();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session really ends (a log-off that was not cancelled), or an
      // installer's Restart Manager closes the program to replace its file
      // (lparam ENDSESSION_CLOSEAPP, sent to hidden windows too): close as
      // the title bar would, which ends the program. The query alone may
      // still be cancelled.
      if (wparam) CloseByPlatform();
      return 0;
    case WM_DESTROY:
      contents_.DestroyTooltip();
      return 0;
    case WM_NCDESTROY:
      contents_.ForgetControls();
      saved_focus_ = nullptr;
      return Win32Window::HandleMessage(message, wparam, lparam);
    default:
      return Win32Window::HandleMessage(message, wparam, lparam);
  }
}

void Win32Form::OnCommandMessage(WPARAM wparam, LPARAM lparam) {
  const int id = LOWORD(wparam);
  const int code = HIWORD(wparam);
  const HWND sender = reinterpret_cast<HWND>(lparam);
  if (sender != nullptr) {
    const Win32FormContents::Control* control = contents_.Find(sender);
    if (control != nullptr && control->kind == ControlKind::Button && code == BN_CLICKED) {
      events_.OnCommand(control->id);
    }
    return;
  }
  if (id == IDOK) {
    // Enter, from the dialog manager, when the focused control is not the
    // default button: only a focused button acts; Enter in a field does
    // nothing.
    const Win32FormContents::Control* focused = contents_.Find(GetFocus());
    if (focused != nullptr && focused->kind == ControlKind::Button) events_.OnCommand(focused->id);
    return;
  }
  if (id == IDCANCEL) return;            // Esc closes nothing
  if (code == 0) events_.OnCommand(id);  // a pop-up menu item
}

void Win32Form::CloseByPlatform() {
  const HWND hwnd = Hwnd();
  // The window goes even when the owner's handler fails.
  RunReportingErrors(Errors(), [&] { events_.OnClose(); });
  if (Hwnd() == hwnd && hwnd != nullptr) DestroyWindow(hwnd);
}

void Win32Form::SaveFocus() noexcept {
  const HWND focus = GetFocus();
  if (focus != nullptr && IsChild(Hwnd(), focus)) saved_focus_ = focus;
}

void Win32Form::RestoreFocus() noexcept {
  HWND target = saved_focus_;
  if (target == nullptr || !IsWindow(target) || !IsChild(Hwnd(), target)) {
    target = GetNextDlgTabItem(Hwnd(), nullptr, FALSE);
  }
  if (target != nullptr) SetFocus(target);
}

void Win32Form::CentreOnScreen() noexcept {
  RECT window{};
  GetWindowRect(Hwnd(), &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(Hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& screen = monitor.rcMonitor;
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  const int x = screen.left + (screen.right - screen.left - width) / 2;
  const int y = screen.top + (screen.bottom - screen.top - height) / 2;
  SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Form --------------------------------------------------------------------

bool Win32Form::IsLoaded() const { return Hwnd() != nullptr; }

void Win32Form::Show() {
  if (Hwnd() == nullptr) return;
  if (!shown_before_) {
    CentreOnScreen();
    shown_before_ = true;
  }
  if (IsWindowVisible(Hwnd())) {
    SetActiveWindow(Hwnd());
  } else {
    ShowWindow(Hwnd(), SW_SHOW);
  }
}

void Win32Form::ShowAndActivate() {
  if (Hwnd() == nullptr) return;
  Show();
  SetForegroundWindow(Hwnd());
}

void Win32Form::Hide() {
  if (Hwnd() != nullptr) ShowWindow(Hwnd(), SW_HIDE);
}

bool Win32Form::IsVisible() const { return Hwnd() != nullptr && IsWindowVisible(Hwnd()); }

void Win32Form::MakeTopmost() {
  if (Hwnd() == nullptr) return;
  // Without SWP_NOACTIVATE the call also activates the window. Neither a
  // window still loading nor one that just lost the focus to another window
  // may take the activation, and with it the keyboard, from the window the
  // user is working in. The result is not looked at: a window that stays
  // out of the topmost band is no reason to stop the handler.
  SetWindowPos(Hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::wstring Win32Form::Text(int control_id) const {
  return WindowText(RequireControl(control_id));
}

void Win32Form::SetText(int control_id, const std::wstring& text) {
  if (!SetWindowTextW(RequireControl(control_id), text.c_str())) throw LastPlatformError();
}

void Win32Form::SetReadOnly(int control_id) {
  // Nonzero when it worked. The edit control itself sets ES_READONLY, and
  // with it the greyed background Windows shows read-only fields with.
  if (SendMessageW(RequireControl(control_id), EM_SETREADONLY, TRUE, 0) == 0)
    throw LastPlatformError();
}

int Win32Form::ShowMessage(const std::wstring& text, const std::wstring& title,
                           std::uint32_t flags) {
  // One of the program's three ways of showing a box (Win32MessageBoxes.h).
  const int result = MessageBoxW(Hwnd(), text.c_str(), title.c_str(), flags);
  if (result == 0) throw LastPlatformError();
  return result;
}

void Win32Form::PopupMenu(std::span<const MenuItemLayout> items) {
  if (Hwnd() == nullptr || items.empty()) return;
  const OwnedMenu menu(CreatePopupMenu());
  if (!menu) throw LastPlatformError();
  for (const MenuItemLayout& item : items) {
    const std::wstring caption(item.caption);
    if (!AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(item.id), caption.c_str())) {
      throw LastPlatformError();
    }
  }
  POINT pointer{};
  GetCursorPos(&pointer);
  // The chosen item comes back as WM_COMMAND, after this returns.
  TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, pointer.x, pointer.y, 0,
                 Hwnd(), nullptr);
}

std::uintptr_t Win32Form::Handle() const { return reinterpret_cast<std::uintptr_t>(Hwnd()); }

std::uintptr_t Win32Form::IconHandle() const {
  return reinterpret_cast<std::uintptr_t>(contents_.Icon());
}

HWND Win32Form::ControlHandle(int control_id) const noexcept {
  return control_id == 0 ? Hwnd() : contents_.ControlHandle(control_id);
}

bool Win32Form::IsFormWindow(HWND hwnd) noexcept {
  if (Win32Window::FromHandle(hwnd) == nullptr) return false;
  wchar_t name[64] = {};
  return GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) > 0 &&
         std::wstring_view(name) == kFormClassName;
}

HWND Win32Form::RequireControl(int control_id) const {
  const HWND hwnd = ControlHandle(control_id);
  if (hwnd == nullptr) {
    throw std::invalid_argument(IsLoaded() ? "no control with this id" : "the window is unloaded");
  }
  return hwnd;
}

// --- factory -----------------------------------------------------------------

std::unique_ptr<Form> Win32FormFactory::Create(const FormLayout& layout, FormEvents& events) {
  return std::make_unique<Win32Form>(layout, events, errors_, ScreenDpi());
}

int Win32FormFactory::ScreenDpi() {
  const ScreenDc screen(GetDC(nullptr));
  if (!screen) return 96;
  const int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

}  // namespace rerevure::platform
