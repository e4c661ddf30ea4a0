#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

namespace rerevure::platform {

void Win32MessageBoxes::Show(const std::wstring& text, const std::wstring& title,
                             std::uint32_t flags) {
  // With no window of its own behind it, the box must come forward by
  // itself. Its result (only OK) is of no use.
  MessageBoxW(nullptr, text.c_str(), title.c_str(), flags | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace rerevure::platform
