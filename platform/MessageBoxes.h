#pragma once

#include <cstdint>
#include <string>

namespace rerevure::platform {

// A modal message box owned by no window, for what is said before any window
// of the program exists.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // flags: the platform's MB_* values (platform/Form.h).
  virtual void Show(const std::wstring& text, const std::wstring& title, std::uint32_t flags) = 0;
};

}  // namespace rerevure::platform
