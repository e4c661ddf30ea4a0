#include "platform/win32/Win32ErrorReport.h"

#include <windows.h>

#include "platform/win32/Win32MessageBoxes.h"

namespace rerevure::platform {

void Win32ErrorReport::Report(std::int32_t number, const std::wstring& description) noexcept {
  std::wstring text;
  const std::wstring* shown = &description;  // if composing fails: the description alone
  try {
    text = compose_(number, description);
    shown = &text;
  } catch (...) {
  }
  ShowUnownedMessageBox(*shown, title_, MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

}  // namespace rerevure::platform
