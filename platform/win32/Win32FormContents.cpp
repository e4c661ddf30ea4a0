#include "platform/win32/Win32FormContents.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "platform/PixelLayout.h"
#include "platform/win32/Win32Frame.h"
#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {
namespace {

// The size of the tool record that every version of the tooltip control
// accepts; the full record of newer headers is refused by version 5.
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM);

HMENU IdAsMenu(int id) { return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)); }

RECT ToRect(const PixelRect& pixels) {
  return RECT{pixels.left, pixels.top, pixels.left + pixels.width, pixels.top + pixels.height};
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

Win32FormContents::Win32FormContents(FormEvents& events, ErrorReport& errors, int dpi)
    : events_(events), errors_(errors), dpi_(dpi) {}

Win32FormContents::~Win32FormContents() = default;

void Win32FormContents::Build(const FormLayout& layout, HWND form) {
  EnsureCommonControls();
  form_ = form;
  LoadIcons(layout.application_icon);
  CreateControls(layout, kClientArea, form);
}

void Win32FormContents::CreateControls(const FormLayout& layout, int container, HWND parent) {
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

HWND Win32FormContents::CreateControl(const ControlLayout& control, HWND parent) {
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
                                                     dpi_, events_, errors_));
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

HFONT Win32FormContents::FontFor(const FontSpec* wanted) {
  if (wanted == nullptr) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  for (const FontForSpec& owned : fonts_) {
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
  OwnedFont handle(CreateFontIndirectW(&font));
  if (!handle) throw LastPlatformError();
  fonts_.push_back(FontForSpec{*wanted, std::move(handle)});
  return fonts_.back().font.get();
}

void Win32FormContents::AddTooltip(HWND control, std::wstring_view text) {
  if (!tooltip_) {
    // Not owned by the form: a topmost window owned by the form keeps the
    // form itself out of the topmost band under Wine when it asks for it.
    tooltip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr));
    if (!tooltip_) throw LastPlatformError();
  }
  std::wstring copy(text);  // the control keeps its own copy of the text
  TTTOOLINFOW tool{};
  tool.cbSize = kToolInfoSize;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = form_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = copy.data();
  if (!SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
    throw PlatformError(static_cast<std::int32_t>(ERROR_INVALID_FUNCTION),
                        L"The tooltip could not be added.");
  }
}

void Win32FormContents::LoadIcons(bool application_icon) {
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
  SendMessageW(form_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.get()));
  SendMessageW(form_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_.get()));
}

void Win32FormContents::DestroyTooltip() noexcept { tooltip_.reset(); }

void Win32FormContents::ForgetControls() noexcept { controls_.clear(); }

HWND Win32FormContents::ControlHandle(int control_id) const noexcept {
  for (const Control& control : controls_) {
    if (control.id == control_id) return control.hwnd;
  }
  return nullptr;
}

const Win32FormContents::Control* Win32FormContents::Find(HWND hwnd) const noexcept {
  if (hwnd == nullptr) return nullptr;
  for (const Control& control : controls_) {
    if (control.hwnd == hwnd) return &control;
  }
  return nullptr;
}

HICON Win32FormContents::Icon() const noexcept {
  return small_icon_ ? small_icon_.get() : big_icon_.get();
}

}  // namespace rerevure::platform
