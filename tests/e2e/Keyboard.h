#pragma once

// The keyboard as a user has it: keys are injected as hardware input, so they
// reach the program's foreground window through its thread's input queue, its
// own message loop and the dialog manager, never through a shortcut into a
// window procedure.

#include <windows.h>

#include <chrono>
#include <string>

namespace rerevure::e2e {

// Brings a top-level window of another process to the foreground and waits
// until the keyboard is in it (see KeyboardAt); false when it did not get
// there in time.
bool BringToForeground(HWND window);

// The window that has the keyboard focus in the thread owning `window`, as
// the system reports it to any process. Not where keys go: the thread keeps
// (and Wine restores) its focus whether or not it has the keyboard.
HWND FocusOf(HWND window);

// Waits until the keyboard focus, that of the foreground thread
// (GetGUIThreadInfo(0)), is `control` and has stayed there for a short
// settle: only then does the next key reach it. Every step that presses a
// key after another one moved the focus waits for this first.
bool KeyboardAt(HWND control, std::chrono::milliseconds timeout = std::chrono::seconds(5));

// Presses and releases one key, optionally with Alt and/or Shift held.
void PressKey(WORD key, bool alt = false, bool shift = false);

// Types the text as characters (each a key press of its own).
void TypeText(const std::wstring& text);

}  // namespace rerevure::e2e
