#include "platform/win32/Win32TextCodec.h"

#include <windows.h>

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {
namespace {

int Convert(UINT code_page, DWORD flags, std::wstring_view text, char* out, int out_size) {
  return WideCharToMultiByte(code_page, flags, text.data(), static_cast<int>(text.size()), out,
                             out_size, nullptr, nullptr);
}

std::string ToCodePage(UINT code_page, std::wstring_view text) {
  if (text.empty()) return {};
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  int size = Convert(code_page, flags, text, nullptr, 0);
  // Code pages such as UTF-8 (an ANSI code page Windows can be set to) take
  // no flags; they hold every character anyway.
  if (size == 0 && GetLastError() == ERROR_INVALID_FLAGS) {
    flags = 0;
    size = Convert(code_page, flags, text, nullptr, 0);
  }
  if (size == 0) throw LastPlatformError();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (Convert(code_page, flags, text, bytes.data(), size) != size) throw LastPlatformError();
  return bytes;
}

}  // namespace

std::string Win32TextCodec::ToAnsi(std::wstring_view text) const {
  return ToCodePage(CP_ACP, text);
}

std::string Win32TextCodec::ToOem(std::wstring_view text) const {
  return ToCodePage(CP_OEMCP, text);
}

std::wstring Win32TextCodec::ToUpperInvariant(std::wstring_view text) const {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), length,
                                 nullptr, 0, nullptr, nullptr, 0);
  if (size == 0) throw LastPlatformError();
  std::wstring upper(static_cast<std::size_t>(size), L'\0');
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, text.data(), length, upper.data(), size,
                    nullptr, nullptr, 0) != size) {
    throw LastPlatformError();
  }
  return upper;
}

}  // namespace rerevure::platform
