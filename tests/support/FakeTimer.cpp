#include "support/FakeTimer.h"

#include <algorithm>

namespace rerevure::testing {

FakeTimer::FakeTimer(FakeTimerFactory& factory, std::function<void()> tick)
    : tick(std::move(tick)), factory_(factory) {
  factory_.timers.push_back(this);
}

FakeTimer::~FakeTimer() { std::erase(factory_.timers, this); }

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

bool FakeTimerFactory::AnyRunning() const {
  return std::any_of(timers.begin(), timers.end(), [](const FakeTimer* t) { return t->running; });
}

}  // namespace rerevure::testing
