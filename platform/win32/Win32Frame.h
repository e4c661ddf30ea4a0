#pragma once

#include <windows.h>

#include "platform/ErrorReport.h"
#include "platform/Form.h"
#include "platform/win32/Win32Window.h"

namespace rerevure::platform {

// A frame: a container of controls that draws a group-box border with its
// caption (or the border alone when the caption is empty). Unlike a group-box
// button it is a real parent: it forwards its children's commands,
// notifications and colour requests to its own parent, carries
// WS_EX_CONTROLPARENT so that Tab walks into it, and reports a double-click
// on its free area.
class Win32Frame final : private Win32Window {
 public:
  static constexpr const wchar_t* kClassName = L"Rerevure.Frame";

  // Creates the frame as a visible child of parent at the pixel rectangle.
  Win32Frame(HWND parent, int id, const wchar_t* caption, const RECT& rect, int dpi,
             FormEvents& events, ErrorReport& errors);
  ~Win32Frame() override = default;

  using Win32Window::Hwnd;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Paint();

  const int id_;
  const int dpi_;
  FormEvents& events_;
  HFONT font_ = nullptr;  // not owned: the form owns every font
};

}  // namespace rerevure::platform
