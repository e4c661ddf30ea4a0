#pragma once

#include <cstdint>
#include <span>

namespace rerevure::platform {

// Bytes nobody can predict, from the system's cryptographic generator.
class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // Fills bytes. Throws PlatformError.
  virtual void Fill(std::span<std::uint8_t> bytes) = 0;
};

}  // namespace rerevure::platform
