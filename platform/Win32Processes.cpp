#include "platform/Win32Processes.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <vector>

#include "platform/Win32LastError.h"

namespace rerevure::platform {

void Win32Processes::Start(const std::wstring& command_line, int show_code) {
  // CreateProcessW may write into the command line, so it gets its own copy.
  std::vector<wchar_t> buffer(command_line.begin(), command_line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show_code);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    throw LastPlatformError();
  }
  // Not waited for: the handles are of no further use.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void Win32Processes::OpenWithDefaultBrowser(const std::wstring& address, int show_code) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, show_code));
  // Values up to 32 are errors; most of them are Win32 error codes.
  if (result <= 32) {
    const auto code = result == 0 ? ERROR_OUTOFMEMORY : static_cast<std::uint32_t>(result);
    throw SystemError(code);
  }
}

}  // namespace rerevure::platform
