#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/Tray.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// A notification area that keeps the icons it was given, as the shell does:
// an add of an icon it already has is refused, a modify or delete of one it
// does not have does nothing and fails. Every call is recorded with a copy of
// the record.
class FakeTray final : public platform::Tray {
 public:
  struct Call {
    std::uint32_t message;
    platform::NotifyIconRecord record;
  };

  bool Notify(std::uint32_t message, const platform::NotifyIconRecord& record) override;

  const std::vector<Call>& Calls() const { return calls_; }
  std::vector<std::uint32_t> Messages() const;
  bool HasIcon(std::uintptr_t window, std::uint32_t id) const;
  std::size_t IconCount() const { return icons_.size(); }
  // What the tray shows for an icon now; the icon must be there.
  const platform::NotifyIconRecord& Icon(std::uintptr_t window, std::uint32_t id) const;
  // Explorer restarted: the new taskbar starts empty.
  void Restart() { icons_.clear(); }

  // Explorer busy at logon: this many adds fail from now on. A timed-out add
  // reaches the tray all the same, a refused one does not.
  int failing_adds = 0;
  bool failed_adds_arrive = false;

  CallJournal* journal = nullptr;  // "Tray add", "Tray modify", "Tray delete"

 private:
  std::vector<Call> calls_;
  std::map<std::pair<std::uintptr_t, std::uint32_t>, platform::NotifyIconRecord> icons_;
};

}  // namespace rerevure::testing
