#include "platform/Win32Application.h"

#include <windows.h>

namespace rerevure::platform {

void Win32Application::End() { PostQuitMessage(0); }

}  // namespace rerevure::platform
