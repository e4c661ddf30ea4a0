#pragma once

#include <windows.h>

namespace rerevure::platform {

// The program's own window messages, each posted to one of its message-only
// windows. One table, so that no two share a number.
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

}  // namespace rerevure::platform
