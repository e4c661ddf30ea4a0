#include "platform/win32/Win32ErrorReport.h"

#include <windows.h>

namespace rerevure::platform {

void Win32ErrorReport::Report(std::int32_t number, const std::wstring& description) noexcept {
  std::wstring text;
  const wchar_t* shown = description.c_str();  // if composing fails: the description alone
  try {
    text = compose_(number, description);
    shown = text.c_str();
  } catch (...) {
  }
  // Task-modal so that no other window of the program takes input while the
  // report is open; topmost so that the topmost main window cannot hide it.
  MessageBoxW(nullptr, shown, title_.c_str(),
              MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_TOPMOST | MB_SETFOREGROUND);
}

}  // namespace rerevure::platform
