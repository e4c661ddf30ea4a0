#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "platform/NetworkList.h"
#include "platform/PlatformError.h"

namespace rerevure::testing {

// The networks Windows would report, changed by the test, which then tells
// the watcher as Windows' events would.
class FakeNetworkList final : public platform::NetworkList {
 public:
  std::vector<platform::ConnectedNetwork> ConnectedNetworks() override {
    ++queries;
    // As a call to Windows can: lets something else run in the middle of it.
    if (during_query) std::exchange(during_query, nullptr)();
    if (fail) throw platform::PlatformError(-2147221164, L"Class not registered");
    return connected;
  }
  void WatchChanges(std::function<void()> changed) override {
    ++watches;
    changed_ = std::move(changed);
  }
  void StopWatching() noexcept override { changed_ = nullptr; }

  // One connectivity event, as Windows delivers it through the message loop.
  void Change() {
    if (changed_) changed_();
  }
  bool Watched() const { return changed_ != nullptr; }

  std::vector<platform::ConnectedNetwork> connected;
  std::function<void()> during_query;  // runs inside the next query only
  bool fail = false;
  int queries = 0;
  int watches = 0;

 private:
  std::function<void()> changed_;
};

}  // namespace rerevure::testing
