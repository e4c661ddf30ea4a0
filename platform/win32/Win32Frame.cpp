#include "platform/win32/Win32Frame.h"

#include <string>

namespace rerevure::platform {

Win32Frame::Win32Frame(HWND parent, int id, const wchar_t* caption, const RECT& rect, int dpi,
                       FormEvents& events, ErrorReport& errors)
    : Win32Window(errors), id_(id), dpi_(dpi), events_(events) {
  WNDCLASSEXW window_class{};
  window_class.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassOnce(window_class);
  Create(WS_EX_CONTROLPARENT, kClassName, caption,
         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect.left, rect.top,
         rect.right - rect.left, rect.bottom - rect.top, parent,
         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Win32Frame::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      // The form decides about its controls, wherever they sit.
      return SendMessageW(GetParent(Hwnd()), message, wparam, lparam);
    case WM_LBUTTONDBLCLK:
      events_.OnDoubleClick(id_);
      return 0;
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wparam);
      if (LOWORD(lparam)) InvalidateRect(Hwnd(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_SETTEXT: {
      const LRESULT result = Win32Window::HandleMessage(message, wparam, lparam);
      InvalidateRect(Hwnd(), nullptr, TRUE);
      return result;
    }
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return Win32Window::HandleMessage(message, wparam, lparam);
  }
}

void Win32Frame::Paint() {
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(Hwnd(), &paint);
  if (dc == nullptr) return;
  const HFONT font =
      font_ != nullptr ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const HGDIOBJ old_font = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);

  // Like a group box: the border runs through the middle of the caption's
  // line, and the caption interrupts it near the left.
  RECT client{};
  GetClientRect(Hwnd(), &client);
  RECT border = client;
  border.top += metrics.tmHeight / 2;
  DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);

  const std::wstring caption = WindowText(Hwnd());
  if (!caption.empty()) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    const int inset = MulDiv(6, dpi_, 96);
    const int pad = MulDiv(2, dpi_, 96);
    RECT text{client.left + inset, client.top, client.left + inset + extent.cx + 2 * pad,
              client.top + metrics.tmHeight};
    const HBRUSH background = reinterpret_cast<HBRUSH>(
        SendMessageW(GetParent(Hwnd()), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Hwnd())));
    FillRect(dc, &text, background != nullptr ? background : GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    text.left += pad;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, old_font);
  EndPaint(Hwnd(), &paint);
}

}  // namespace rerevure::platform
