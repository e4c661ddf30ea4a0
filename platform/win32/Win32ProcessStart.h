#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Win32OwnedHandle.h"

namespace rerevure::platform {

// The handles CreateProcessW gives of a process it started.
struct StartedHandles {
  OwnedHandle process;
  OwnedHandle thread;
};

// CreateProcessW of the command line (program name first) with a show-window
// code; application and folder may be null (search the path, the caller's
// current folder). creation_flags go to CreateProcessW as they are. Throws
// PlatformError.
StartedHandles StartProcess(const wchar_t* application, const std::wstring& command_line,
                            const wchar_t* folder, int show_code, DWORD creation_flags = 0);

}  // namespace rerevure::platform
