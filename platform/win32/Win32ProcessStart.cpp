#include "platform/win32/Win32ProcessStart.h"

#include <vector>

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {

StartedHandles StartProcess(const wchar_t* application, const std::wstring& command_line,
                            const wchar_t* folder, int show_code, DWORD creation_flags) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> buffer(command_line.begin(), command_line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show_code);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(application, buffer.data(), nullptr, nullptr, FALSE, creation_flags, nullptr,
                      folder, &startup, &process)) {
    throw LastPlatformError();
  }
  return {OwnedHandle(process.hProcess), OwnedHandle(process.hThread)};
}

}  // namespace rerevure::platform
