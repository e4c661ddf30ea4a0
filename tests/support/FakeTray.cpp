#include "support/FakeTray.h"

#include <stdexcept>

namespace rerevure::testing {

bool FakeTray::Notify(std::uint32_t message, const platform::NotifyIconRecord& record) {
  calls_.push_back({message, record});
  const auto key = std::make_pair(record.hWnd, record.uID);
  switch (message) {
    case platform::kNimAdd:
      Record(journal, L"Tray add");
      if (failing_adds > 0) {
        --failing_adds;
        if (failed_adds_arrive) icons_.try_emplace(key, record);
        return false;
      }
      return icons_.try_emplace(key, record).second;
    case platform::kNimModify:
      Record(journal, L"Tray modify");
      if (auto it = icons_.find(key); it != icons_.end()) {
        it->second = record;
        return true;
      }
      return false;
    case platform::kNimDelete:
      Record(journal, L"Tray delete");
      return icons_.erase(key) > 0;
  }
  return false;
}

std::vector<std::uint32_t> FakeTray::Messages() const {
  std::vector<std::uint32_t> messages;
  for (const Call& call : calls_) messages.push_back(call.message);
  return messages;
}

bool FakeTray::HasIcon(std::uintptr_t window, std::uint32_t id) const {
  return icons_.contains({window, id});
}

const platform::NotifyIconRecord& FakeTray::Icon(std::uintptr_t window, std::uint32_t id) const {
  auto it = icons_.find({window, id});
  if (it == icons_.end()) throw std::logic_error("no such tray icon");
  return it->second;
}

}  // namespace rerevure::testing
