#pragma once

#include "platform/Pause.h"

namespace rerevure::platform {

// Sleep: the thread handles no messages meanwhile, so only short pauses.
class Win32Pause final : public Pause {
 public:
  void For(std::chrono::milliseconds time) override;
};

}  // namespace rerevure::platform
