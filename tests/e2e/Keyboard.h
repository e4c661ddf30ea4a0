#pragma once

// The keyboard as a user has it: keys are injected as hardware input, so they
// reach the program's foreground window through its thread's input queue, its
// own message loop and the dialog manager, never through a shortcut into a
// window procedure.

#include <windows.h>

#include <string>

namespace rerevure::e2e {

// Brings a top-level window of another process to the foreground, where the
// keyboard goes; false when it did not get there in time.
bool BringToForeground(HWND window);

// The window that has the keyboard focus in the thread owning `window`, as
// the system reports it to any process.
HWND FocusOf(HWND window);

// Presses and releases one key, optionally with Alt and/or Shift held.
void PressKey(WORD key, bool alt = false, bool shift = false);

// Types the text as characters (each a key press of its own).
void TypeText(const std::wstring& text);

}  // namespace rerevure::e2e
