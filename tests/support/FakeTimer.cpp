#include "support/FakeTimer.h"

#include <algorithm>

namespace rerevure::testing {

FakeTimer::FakeTimer(FakeTimerFactory& factory, std::function<void()> tick)
    : tick(std::move(tick)), factory_(factory) {
  factory_.timers.push_back(this);
}

FakeTimer::~FakeTimer() { std::erase(factory_.timers, this); }

void FakeTimer::Start(std::chrono::milliseconds interval) {
  running = true;
  this->interval = interval;
  due = factory_.now + interval;
}

std::unique_ptr<platform::Timer> FakeTimerFactory::Create(std::function<void()> tick) {
  return std::make_unique<FakeTimer>(*this, std::move(tick));
}

void FakeTimerFactory::Elapse() {
  // A tick may stop or release timers, so the running ones are picked first.
  std::vector<FakeTimer*> due;
  for (FakeTimer* timer : timers) {
    if (timer->running) due.push_back(timer);
  }
  for (FakeTimer* timer : due) {
    if (std::find(timers.begin(), timers.end(), timer) != timers.end() && timer->running) {
      timer->tick();
    }
  }
}

void FakeTimerFactory::Advance(std::chrono::milliseconds span) {
  const std::chrono::milliseconds end = now + span;
  for (;;) {
    FakeTimer* next = nullptr;
    for (FakeTimer* timer : timers) {
      if (timer->running && timer->due <= end && (!next || timer->due < next->due)) next = timer;
    }
    if (!next) break;
    now = next->due;
    next->due += std::max(next->interval, std::chrono::milliseconds(1));
    next->tick();
  }
  now = end;
}

bool FakeTimerFactory::AnyRunning() const {
  return std::any_of(timers.begin(), timers.end(), [](const FakeTimer* t) { return t->running; });
}

}  // namespace rerevure::testing
