#pragma once

#include "platform/TextCodec.h"

namespace rerevure::testing {

// Code pages as on a Western European Windows: ANSI 1252 (Latin-1 for the
// letters tests use) and OEM 437, whose accented letters sit elsewhere
// ("ü" is 0xFC in ANSI, 0x81 in OEM), so a test can tell which one was used.
// Characters a code page cannot hold become '?'.
class FakeTextCodec final : public platform::TextCodec {
 public:
  std::string ToAnsi(std::wstring_view text) const override;
  std::string ToOem(std::wstring_view text) const override;
  // ASCII and Latin-1 letters ("ü" to "Ü"); everything else unchanged.
  std::wstring ToUpperInvariant(std::wstring_view text) const override;
};

}  // namespace rerevure::testing
