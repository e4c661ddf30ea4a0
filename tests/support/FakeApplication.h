#pragma once

#include "platform/Application.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

class FakeApplication final : public platform::Application {
 public:
  void End() override {
    Record(journal, L"End");
    ++end_calls;
  }
  bool Ended() const { return end_calls > 0; }
  int end_calls = 0;
  CallJournal* journal = nullptr;  // "End"
};

}  // namespace rerevure::testing
