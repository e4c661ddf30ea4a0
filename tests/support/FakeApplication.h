#pragma once

#include <optional>
#include <string>

#include "platform/Application.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

class FakeApplication final : public platform::Application {
 public:
  void End() override {
    Record(journal, L"End");
    ++end_calls;
  }
  void RestartAfterUpdate(const std::wstring& arguments) override { restart_arguments = arguments; }
  bool Ended() const { return end_calls > 0; }
  int end_calls = 0;
  CallJournal* journal = nullptr;  // "End"
  // The arguments of the last registration for a start after an update.
  std::optional<std::wstring> restart_arguments;
};

}  // namespace rerevure::testing
