#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ErrorReport.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// The top-level error report, keeping every report it was given.
class FakeErrorReport final : public platform::ErrorReport {
 public:
  struct Entry {
    std::int32_t number;
    std::wstring description;
    friend bool operator==(const Entry&, const Entry&) = default;
  };

  void Report(std::int32_t number, const std::wstring& description) noexcept override {
    reports.push_back(Entry{number, description});
    Record(journal, L"Error " + std::to_wstring(number) + L": " + description);
  }

  std::vector<Entry> reports;
  // "Error <number>: <description>".
  CallJournal* journal = nullptr;
};

}  // namespace rerevure::testing
