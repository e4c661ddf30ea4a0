#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/Pause.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// Lets no time pass: records each pause ("Pause <ms>") and the time in all,
// and runs during() meanwhile (whatever the world does in that time).
class FakePause final : public platform::Pause {
 public:
  void For(std::chrono::milliseconds time) override {
    Record(journal, L"Pause " + std::to_wstring(time.count()));
    total += time;
    if (during) during();
  }

  std::chrono::milliseconds total{0};
  std::function<void()> during;
  CallJournal* journal = nullptr;
};

}  // namespace rerevure::testing
