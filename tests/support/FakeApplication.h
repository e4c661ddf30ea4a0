#pragma once

#include "platform/Application.h"

namespace rerevure::testing {

class FakeApplication final : public platform::Application {
 public:
  void End() override { ++end_calls; }
  bool Ended() const { return end_calls > 0; }
  int end_calls = 0;
};

}  // namespace rerevure::testing
