#pragma once

#include "platform/PolicyValues.h"

namespace rerevure::platform {

// Reads policy values straight from the registry (RegQueryValueExW) in the
// 64-bit view, where the policy engine writes them also for 32-bit programs,
// and expands REG_EXPAND_SZ in the program's own environment, which is the
// signed-in user's.
class Win32PolicyValues final : public PolicyValues {
 public:
  std::optional<std::wstring> Read(PolicyScope scope, const std::wstring& key,
                                   const std::wstring& name) override;
};

}  // namespace rerevure::platform
