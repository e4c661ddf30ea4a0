#pragma once

#include <cstdint>
#include <span>

#include "platform/RandomSource.h"

namespace rerevure::testing {

// Hands out the bytes 0, 1, 2... in turn, so each name made from them differs.
class FakeRandomSource final : public platform::RandomSource {
 public:
  void Fill(std::span<std::uint8_t> bytes) override {
    for (std::uint8_t& byte : bytes) byte = next++;
  }

  std::uint8_t next = 0;
};

}  // namespace rerevure::testing
