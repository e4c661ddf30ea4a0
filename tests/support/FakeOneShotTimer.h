#pragma once

#include <chrono>
#include <functional>
#include <utility>

#include "platform/OneShotTimer.h"

namespace rerevure::testing {

// A timer the test lets run out with Fire().
class FakeOneShotTimer final : public platform::OneShotTimer {
 public:
  void Start(std::chrono::milliseconds delay, std::function<void()> due) override {
    ++starts;
    this->delay = delay;
    due_ = std::move(due);
  }
  void Stop() override { due_ = nullptr; }

  bool Running() const { return due_ != nullptr; }
  // The delay has passed: what was due runs once.
  void Fire() {
    if (auto due = std::exchange(due_, nullptr)) due();
  }

  int starts = 0;
  std::chrono::milliseconds delay{0};

 private:
  std::function<void()> due_;
};

}  // namespace rerevure::testing
