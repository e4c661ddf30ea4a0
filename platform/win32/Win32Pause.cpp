#include "platform/win32/Win32Pause.h"

#include <windows.h>

namespace rerevure::platform {

void Win32Pause::For(std::chrono::milliseconds time) { Sleep(static_cast<DWORD>(time.count())); }

}  // namespace rerevure::platform
