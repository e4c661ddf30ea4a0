#include "switching/BatchArgument.h"

#include <algorithm>

namespace rerevure::switching {
namespace {

// Characters that end, redirect, group or escape a command, or split it into
// separate tokens, when they appear outside quotes. '!' expands variables when
// delayed expansion is on.
constexpr std::wstring_view kNeedsQuotes = L" &|<>^()!;,=";

bool IsControl(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

}  // namespace

bool CanPassInBatch(std::wstring_view value) {
  return std::none_of(value.begin(), value.end(),
                      [](wchar_t c) { return c == L'"' || IsControl(c); });
}

std::wstring BatchArgument(std::wstring_view value) {
  if (!CanPassInBatch(value)) return {};

  std::wstring escaped;
  escaped.reserve(value.size() + 2);
  for (wchar_t c : value) {
    escaped.push_back(c);
    if (c == L'%') escaped.push_back(L'%');
  }
  // A character outside ASCII is quoted too: in a double-byte code page one
  // of its bytes can be '\\', '^' or '|' when the console reads the script in
  // another code page than it was written in.
  const bool beyond_ascii =
      std::any_of(value.begin(), value.end(), [](wchar_t c) { return c > 0x7F; });
  if (!beyond_ascii && value.find_first_of(kNeedsQuotes) == std::wstring_view::npos) return escaped;

  // Before a closing quote, 2n backslashes stand for n of them.
  const auto last = value.find_last_not_of(L'\\');
  const std::size_t trailing =
      last == std::wstring_view::npos ? value.size() : value.size() - last - 1;
  return L'"' + escaped + std::wstring(trailing, L'\\') + L'"';
}

}  // namespace rerevure::switching
