#pragma once

#include <windows.h>

#include <string>

namespace rerevure::platform {

// CreateProcessW of the command line (program name first) with a show-window
// code; application and folder may be null (search the path, the caller's
// current folder). creation_flags go to CreateProcessW as they are. Throws
// PlatformError; the caller owns both handles.
PROCESS_INFORMATION StartProcess(const wchar_t* application, const std::wstring& command_line,
                                 const wchar_t* folder, int show_code, DWORD creation_flags = 0);

}  // namespace rerevure::platform
