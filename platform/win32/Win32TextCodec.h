#pragma once

#include "platform/TextCodec.h"

namespace rerevure::platform {

// WideCharToMultiByte to the system's ANSI and OEM code pages. A character
// the code page cannot hold exactly becomes the code page's default character
// ('?'), never a look-alike: a best-fit mapping could turn a full-width
// '%' or '"' into the real one after a batch value was made safe.
class Win32TextCodec final : public TextCodec {
 public:
  std::string ToAnsi(std::wstring_view text) const override;
  std::string ToOem(std::wstring_view text) const override;
  // LCMapStringEx with the invariant locale.
  std::wstring ToUpperInvariant(std::wstring_view text) const override;
};

}  // namespace rerevure::platform
