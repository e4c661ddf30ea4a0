#include "platform/Win32Form.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <stdexcept>
#include <string_view>

#include "platform/PixelLayout.h"
#include "platform/Win32Frame.h"
#include "platform/Win32LastError.h"

namespace rerevure::platform {
namespace {

constexpr const wchar_t* kFormClassName = L"Rerevure.Form";

// The size of the tool record that every version of the tooltip control
// accepts; the full record of newer headers is refused by version 5.
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM);

HMENU IdAsMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

RECT ToRect(const PixelRect& pixels) {
  return RECT{pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
}

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

// Tooltips and the visual-style classes of the standard controls, once per
// process, before the first form makes its controls.
void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)done;
}

}  // namespace

Win32Form::Win32Form(const FormLayout& layout, FormEvents& events, ErrorReport& errors, int dpi)
    : Win32Window(errors),
      events_(events),
      dpi_(dpi),
      taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {
  EnsureCommonControls();
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
    LoadIcons(layout.application_icon);
    CreateControls(layout, kClientArea, Hwnd());
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

// --- creation ----------------------------------------------------------------

void Win32Form::CreateControls(const FormLayout& layout, int container, HWND parent) {
  HWND previous = HWND_TOP;
  for (const ControlLayout* control : StackingOrder(layout.controls, container)) {
    const HWND hwnd = CreateControl(*control, parent);
    // Stack explicitly, so the order does not depend on where the platform
    // inserts a new child: the dialog manager tabs in this order.
    SetWindowPos(hwnd, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = hwnd;
    if (control->kind == ControlKind::Frame) CreateControls(layout, control->id, hwnd);
  }
}

HWND Win32Form::CreateControl(const ControlLayout& control, HWND parent) {
  if (control.id == IDOK || control.id == IDCANCEL || control.id == 0) {
    throw std::invalid_argument("control ids 0, 1 and 2 are reserved");
  }
  const RECT rect = ToRect(ControlRect(control, dpi_));
  const std::wstring caption(control.caption);
  HWND hwnd = nullptr;
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  auto create = [&](DWORD ex_style, const wchar_t* class_name, DWORD style) {
    hwnd = CreateWindowExW(ex_style, class_name, caption.c_str(), kChild | style, rect.left,
                           rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                           IdAsMenu(control.id), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw LastPlatformError();
  };
  switch (control.kind) {
    case ControlKind::Frame:
      frames_.push_back(std::make_unique<Win32Frame>(parent, control.id, caption.c_str(), rect,
                                                     dpi_, events_, Errors()));
      hwnd = frames_.back()->Hwnd();
      break;
    case ControlKind::Label:
      // Labels carry no access keys, so an ampersand is shown as typed. A
      // caption too wide for a substituted font is cut at the right rather
      // than wrapped onto a second line that the label is too low to show.
      create(0, L"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX);
      break;
    case ControlKind::TextBox:
      create(WS_EX_CLIENTEDGE, L"EDIT",
             WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | (control.masked ? ES_PASSWORD : 0));
      SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // no limit
      if (control.masked) {
        // Visual styles would show a bullet; the window shows '*'.
        SendMessageW(hwnd, EM_SETPASSWORDCHAR, L'*', 0);
        ImmAssociateContext(hwnd, nullptr);
      }
      break;
    case ControlKind::Button:
      create(0, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON);
      break;
  }
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(control.font)), FALSE);
  if (!control.tooltip.empty()) AddTooltip(hwnd, control.tooltip);
  controls_.push_back(Control{control.id, control.kind, hwnd});
  return hwnd;
}

HFONT Win32Form::FontFor(const FontSpec* wanted) {
  if (wanted == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const OwnedFont& owned : fonts_) {
    if (owned.wanted == *wanted) return owned.font.get();
  }
  LOGFONTW font{};
  font.lfHeight = -MulDiv(wanted->centipoints, dpi_, 7200);
  font.lfWeight = wanted->weight;
  font.lfItalic = wanted->italic ? TRUE : FALSE;
  font.lfCharSet = ANSI_CHARSET;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  const size_t length = std::min(wanted->face.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::copy_n(wanted->face.data(), length, font.lfFaceName);
  FontHandle handle(CreateFontIndirectW(&font));
  if (!handle) throw LastPlatformError();
  fonts_.push_back(OwnedFont{*wanted, std::move(handle)});
  return fonts_.back().font.get();
}

void Win32Form::AddTooltip(HWND control, std::wstring_view text) {
  if (tooltip_ == nullptr) {
    // Not owned by the form: a topmost window owned by the form keeps the
    // form itself out of the topmost band under Wine when it asks for it.
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (tooltip_ == nullptr) throw LastPlatformError();
  }
  std::wstring copy(text);  // the control keeps its own copy of the text
  TTTOOLINFOW tool{};
  tool.cbSize = kToolInfoSize;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Hwnd();
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = copy.data();
  if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    throw PlatformError(static_cast<std::int32_t>(ERROR_INVALID_FUNCTION),
                        L"The tooltip could not be added.");
  }
}

void Win32Form::LoadIcons(bool application_icon) {
  if (application_icon) {
    // The program file's own icon (group 1), at the two sizes the system
    // draws a window's icon in.
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto load = [&](int width_metric, int height_metric) {
      return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                           GetSystemMetrics(width_metric),
                                           GetSystemMetrics(height_metric), LR_DEFAULTCOLOR));
    };
    small_icon_.reset(load(SM_CXSMICON, SM_CYSMICON));
    big_icon_.reset(load(SM_CXICON, SM_CYICON));
  }
  // An explicitly empty icon when there is none.
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
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
    case WM_MOUSEMOVE: {
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
      // The tooltip has no owner (see AddTooltip), so it goes with the form here.
      if (tooltip_ != nullptr) DestroyWindow(tooltip_);
      tooltip_ = nullptr;
      return 0;
    case WM_NCDESTROY:
      controls_.clear();
      tooltip_ = nullptr;
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
    const Control* control = FindControl(sender);
    if (control != nullptr && control->kind == ControlKind::Button && code == BN_CLICKED) {
      events_.OnCommand(control->id);
    }
    return;
  }
  if (id == IDOK) {
    // Enter, from the dialog manager, when the focused control is not the
    // default button: only a focused button acts; Enter in a field does
    // nothing.
    const Control* focused = FindControl(GetFocus());
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
  const int result = MessageBoxW(Hwnd(), text.c_str(), title.c_str(), flags);
  if (result == 0) throw LastPlatformError();
  return result;
}

void Win32Form::PopupMenu(std::span<const MenuItemLayout> items) {
  if (Hwnd() == nullptr || items.empty()) return;
  struct MenuDeleter {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
  };
  std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter> menu(CreatePopupMenu());
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
  return reinterpret_cast<std::uintptr_t>(small_icon_ ? small_icon_.get() : big_icon_.get());
}

HWND Win32Form::ControlHandle(int control_id) const noexcept {
  if (control_id == 0) return Hwnd();
  for (const Control& control : controls_) {
    if (control.id == control_id) return control.hwnd;
  }
  return nullptr;
}

bool Win32Form::IsFormWindow(HWND hwnd) noexcept {
  if (Win32Window::FromHandle(hwnd) == nullptr) return false;
  wchar_t name[64] = {};
  return GetClassNameW(hwnd, name, static_cast<int>(std::size(name))) > 0 &&
         std::wstring_view(name) == kFormClassName;
}

const Win32Form::Control* Win32Form::FindControl(HWND hwnd) const noexcept {
  if (hwnd == nullptr) return nullptr;
  for (const Control& control : controls_) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
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
  const HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 96;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace rerevure::platform
