#include "platform/win32/Win32Processes.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32ProcessStart.h"

namespace rerevure::platform {

void Win32Processes::Start(const std::wstring& command_line, int show_code) {
  // Not waited for: the handles are of no further use and go at once.
  StartProcess(nullptr, command_line, nullptr, show_code);
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
