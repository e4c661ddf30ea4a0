#include "platform/win32/Win32Environment.h"

#include <windows.h>

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {

std::optional<std::wstring> EnvironmentVariable(const wchar_t* name) {
  std::wstring value;
  for (DWORD size = MAX_PATH;;) {
    value.resize(size);
    // A variable set to "" also returns 0, with the last error left alone.
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      if (GetLastError() != ERROR_SUCCESS) throw LastPlatformError();
    }
    if (length < size) {
      value.resize(length);
      return value;
    }
    size = length;  // too small: length is the size needed, its end included
  }
}

}  // namespace rerevure::platform
