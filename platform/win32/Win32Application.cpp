#include "platform/win32/Win32Application.h"

#include <windows.h>

namespace rerevure::platform {

void Win32Application::End() { PostQuitMessage(0); }

void Win32Application::RestartAfterUpdate(const std::wstring& arguments) {
  // After a restart of the computer the logon start brings the program back;
  // a second start then would only show its window. After a crash or a hang
  // nobody asked for it.
  constexpr DWORD kOnlyAfterAnUpdate = RESTART_NO_CRASH | RESTART_NO_HANG | RESTART_NO_REBOOT;
  if (FAILED(RegisterApplicationRestart(arguments.c_str(), kOnlyAfterAnUpdate))) {
    // Ignored: only the start after an update is lost (the arguments were
    // longer than Windows keeps); the logon start still brings the program
    // back, which is not worth stopping it or troubling the user for.
  }
}

}  // namespace rerevure::platform
