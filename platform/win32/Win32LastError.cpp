#include "platform/win32/Win32LastError.h"

#include <windows.h>

#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {

std::wstring SystemMessage(std::uint32_t id) {
  wchar_t* allocated = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, id, 0, reinterpret_cast<wchar_t*>(&allocated), 0, nullptr);
  const LocalMemory<wchar_t> buffer(allocated);
  std::wstring text;
  if (length != 0 && buffer) text.assign(buffer.get(), length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return text;
}

std::wstring SystemErrorDescription(std::uint32_t code) {
  std::wstring text = SystemMessage(code);
  if (text.empty()) text = L"System error " + std::to_wstring(code);
  return text;
}

PlatformError SystemError(std::uint32_t code) {
  return PlatformError(static_cast<std::int32_t>(code), SystemErrorDescription(code));
}

PlatformError LastPlatformError() {
  const DWORD code = GetLastError();
  // A failure that did not set an error code still has to say something.
  return SystemError(code != 0 ? code : ERROR_INVALID_FUNCTION);
}

}  // namespace rerevure::platform
