#include "WindowQueries.h"

#include <iterator>

namespace rerevure::testing::win32 {
namespace {

// A hung window must not hang the test that asks it.
bool Ask(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, DWORD_PTR& result) {
  return SendMessageTimeoutW(hwnd, message, wparam, lparam, SMTO_ABORTIFHUNG, 1000, &result) != 0;
}

}  // namespace

std::wstring ClassName(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
  return name;
}

std::wstring WindowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!Ask(hwnd, WM_GETTEXTLENGTH, 0, 0, length)) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!Ask(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied)) return {};
  text.resize(static_cast<size_t>(copied));
  return text;
}

RECT RectIn(HWND hwnd, HWND relative_to) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, relative_to, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace rerevure::testing::win32
