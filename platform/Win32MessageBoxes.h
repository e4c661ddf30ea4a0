#pragma once

#include "platform/MessageBoxes.h"

namespace rerevure::platform {

class Win32MessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::wstring& text, const std::wstring& title, std::uint32_t flags) override;
};

}  // namespace rerevure::platform
