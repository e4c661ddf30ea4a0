#pragma once

#include <netlistmgr.h>
#include <ocidl.h>
#include <windows.h>
#include <wrl/client.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/ErrorReport.h"
#include "platform/NetworkList.h"
#include "platform/win32/Win32MessageWindow.h"

namespace rerevure::platform {

// The Network List Manager (INetworkListManager), a COM object of the
// user-interface thread made at first use, and its network events through
// the INetworkEvents connection point. Needs COM started on the thread.
class Win32NetworkList final : public NetworkList {
 public:
  explicit Win32NetworkList(ErrorReport& errors) : errors_(errors) {}
  // Stops the events before the window they are posted to goes.
  ~Win32NetworkList() override;
  Win32NetworkList(const Win32NetworkList&) = delete;
  Win32NetworkList& operator=(const Win32NetworkList&) = delete;

  std::vector<ConnectedNetwork> ConnectedNetworks() override;
  void WatchChanges(std::function<void()> changed) override;
  void StopWatching() noexcept override;

 private:
  INetworkListManager& Manager();

  ErrorReport& errors_;
  Microsoft::WRL::ComPtr<INetworkListManager> manager_;
  std::function<void()> changed_;
  std::unique_ptr<Win32MessageWindow> window_;
  Microsoft::WRL::ComPtr<IConnectionPoint> events_;
  DWORD cookie_ = 0;
};

}  // namespace rerevure::platform
