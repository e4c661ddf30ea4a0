#include "support/FakeTextCodec.h"

#include <string_view>

namespace rerevure::testing {
namespace {

// The accented letters of code page 437, in the order of their bytes from 0x80.
constexpr std::wstring_view kOem437High =
    L"\u00C7\u00FC\u00E9\u00E2\u00E4\u00E0\u00E5\u00E7\u00EA\u00EB\u00E8\u00EF\u00EE\u00EC"
    L"\u00C4\u00C5\u00C9\u00E6\u00C6\u00F4\u00F6\u00F2\u00FB\u00F9\u00FF\u00D6\u00DC";

}  // namespace

std::string FakeTextCodec::ToAnsi(std::wstring_view text) const {
  std::string out;
  for (wchar_t c : text)
    out.push_back(c < 0x80 || (c >= 0xA0 && c <= 0xFF) ? static_cast<char>(c) : '?');
  return out;
}

std::string FakeTextCodec::ToOem(std::wstring_view text) const {
  std::string out;
  for (wchar_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c == L'\u00DF') {
      out.push_back('\xE1');
    } else if (auto at = kOem437High.find(c); at != std::wstring_view::npos) {
      out.push_back(static_cast<char>(0x80 + at));
    } else {
      out.push_back('?');
    }
  }
  return out;
}

std::wstring FakeTextCodec::ToUpperInvariant(std::wstring_view text) const {
  std::wstring out(text);
  for (wchar_t& c : out) {
    if ((c >= L'a' && c <= L'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
  }
  return out;
}

}  // namespace rerevure::testing
