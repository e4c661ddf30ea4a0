#pragma once

// Looking at a window from outside its program's code: what any process can
// ask of it through window messages and the window manager.

#include <windows.h>

#include <string>

namespace rerevure::testing::win32 {

std::wstring ClassName(HWND hwnd);

// A window's text through WM_GETTEXT, which reads the control itself, also
// another process's edit control; empty when the window does not answer
// within a second.
std::wstring WindowText(HWND hwnd);

// A window's rectangle relative to another window's client area.
RECT RectIn(HWND hwnd, HWND relative_to);

}  // namespace rerevure::testing::win32
