#pragma once

#include "platform/RandomSource.h"

namespace rerevure::platform {

// BCryptGenRandom with the system's preferred generator.
class Win32RandomSource final : public RandomSource {
 public:
  void Fill(std::span<std::uint8_t> bytes) override;
};

}  // namespace rerevure::platform
