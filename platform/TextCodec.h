#pragma once

#include <string>
#include <string_view>

namespace rerevure::platform {

// Conversions of the program's Unicode text by the platform's tables: to the
// 8-bit code pages that platform records and files take, and to capitals. Characters a code page
// cannot hold become the platform's default replacement character. No NUL is appended: callers that
// need a terminated buffer put the NUL into the text.
class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // The system's default ANSI code page (WinINet and tray records).
  virtual std::string ToAnsi(std::wstring_view text) const = 0;
  // The OEM code page, the one the command interpreter reads batch files in.
  virtual std::string ToOem(std::wstring_view text) const = 0;
  // The text in capitals by rules that do not depend on the user's language,
  // for comparing names without regard to case.
  virtual std::wstring ToUpperInvariant(std::wstring_view text) const = 0;
};

}  // namespace rerevure::platform
