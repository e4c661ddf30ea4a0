#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

namespace rerevure::platform {

void ShowUnownedMessageBox(const std::wstring& text, const std::wstring& title,
                           std::uint32_t flags) noexcept {
  MessageBoxW(nullptr, text.c_str(), title.c_str(), flags | MB_SETFOREGROUND | MB_TOPMOST);
}

void Win32MessageBoxes::Show(const std::wstring& text, const std::wstring& title,
                             std::uint32_t flags) {
  ShowUnownedMessageBox(text, title, flags);
}

}  // namespace rerevure::platform
