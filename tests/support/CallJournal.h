#pragma once

#include <string>
#include <utility>
#include <vector>

namespace rerevure::testing {

// The calls made on several fakes, in the order they were made, one readable
// line each ("Run net use * /d /y"). Fakes given a journal add to it, so a
// test can check the order of calls across interfaces in one comparison.
class CallJournal {
 public:
  void Add(std::wstring entry) { entries.push_back(std::move(entry)); }
  std::vector<std::wstring> entries;
};

// Adds to a journal that may be absent.
inline void Record(CallJournal* journal, std::wstring entry) {
  if (journal) journal->Add(std::move(entry));
}

}  // namespace rerevure::testing
