#pragma once

#include <windows.h>

#include "platform/NotifyIconRecord.h"

namespace rerevure::platform {

// Every window message the program invents or relies on with a meaning of its
// own: one file to read, and no two invented ones share a number.

// Invented: each posted to one of the program's message-only windows.
enum PrivateMessage : UINT {
  // The network list manager told of a change (posted from its thread).
  kNetworkChanged = WM_APP + 1,
  // Requests a later start handed over, taken while it waited, are due.
  kHandedOverRequestsDue,
  // A drive script's interpreter ended (posted from the thread pool); its
  // wparam says which run.
  kProcessEnded,
  kPrivateMessagesEnd
};

// Beyond WM_APP's range the numbers are the system's registered messages.
static_assert(kPrivateMessagesEnd <= 0xC000, "private messages stay in WM_APP's range");

// Relied on: the tray icon's notifications. The icon's record names the
// mouse-move message as its callback, so the shell sends each notification
// to the main window as a mouse move, with the icon's id in wparam and the
// mouse message in lparam, and the form reports it as its own (Win32Form).
// The logic fills the record without Windows' headers, so the number is
// checked here.
static_assert(kTrayCallbackMessage == WM_MOUSEMOVE, "tray notifications arrive as mouse moves");

// Relied on: the message the taskbar registers under this name and sends to
// every top-level window when it starts again (Explorer restarted), so that
// each program adds its icons again. The form registers it too and reports
// it (Win32Form); its number is known only at run time.
inline constexpr wchar_t kTaskbarCreatedMessageName[] = L"TaskbarCreated";

}  // namespace rerevure::platform
