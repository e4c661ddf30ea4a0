#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

#include "platform/Timer.h"

namespace rerevure::testing {

class FakeTimerFactory;

// A timer that ticks only when the test says so, and only while started.
class FakeTimer final : public platform::Timer {
 public:
  FakeTimer(FakeTimerFactory& factory, std::function<void()> tick);
  ~FakeTimer() override;
  void Start(std::chrono::milliseconds interval) override;
  void Stop() override { running = false; }

  bool running = false;
  std::chrono::milliseconds interval{0};
  std::chrono::milliseconds due{0};  // on the factory's clock
  std::function<void()> tick;

 private:
  FakeTimerFactory& factory_;
};

class FakeTimerFactory final : public platform::TimerFactory {
 public:
  std::unique_ptr<platform::Timer> Create(std::function<void()> tick) override;

  // One interval passes: every running timer ticks once.
  void Elapse();
  // Time passes: each running timer ticks whenever its interval is over, in
  // the order they fall due.
  void Advance(std::chrono::milliseconds span);
  // Whether any timer alive is running.
  bool AnyRunning() const;

  std::vector<FakeTimer*> timers;  // alive, oldest first
  std::chrono::milliseconds now{0};
};

}  // namespace rerevure::testing
