#include "platform/win32/Win32NetworkList.h"

#include <utility>

#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32ConnectedNetwork.h"
#include "platform/win32/Win32NetworkEventsSink.h"
#include "platform/win32/Win32PrivateMessages.h"

namespace rerevure::platform {
namespace {

using Microsoft::WRL::ComPtr;

void Check(HRESULT hr) {
  if (FAILED(hr)) throw ComError(hr);
}

}  // namespace

Win32NetworkList::~Win32NetworkList() { StopWatching(); }

void Win32NetworkList::StopWatching() noexcept {
  // An event already posted, or one Windows still sends should Unadvise be
  // refused, finds nobody to tell: nothing else is left to do.
  changed_ = nullptr;
  if (events_) events_->Unadvise(cookie_);
  events_.Reset();
}

INetworkListManager& Win32NetworkList::Manager() {
  if (!manager_) {
    Check(CoCreateInstance(CLSID_NetworkListManager, nullptr, CLSCTX_ALL,
                           IID_PPV_ARGS(manager_.ReleaseAndGetAddressOf())));
  }
  return *manager_.Get();
}

std::vector<ConnectedNetwork> Win32NetworkList::ConnectedNetworks() {
  ComPtr<IEnumNetworks> networks;
  Check(Manager().GetNetworks(NLM_ENUM_NETWORK_CONNECTED, networks.GetAddressOf()));
  std::vector<ConnectedNetwork> connected;
  for (;;) {
    ComPtr<INetwork> network;
    ULONG fetched = 0;
    const HRESULT hr = networks->Next(1, network.GetAddressOf(), &fetched);
    Check(hr);
    if (hr != S_OK || fetched == 0 || !network) break;
    // Wine lists every network whatever the filter says, so each is asked.
    VARIANT_BOOL is_connected = VARIANT_FALSE;
    if (FAILED(network->get_IsConnected(&is_connected)) || is_connected == VARIANT_FALSE) continue;
    connected.push_back(ReadConnectedNetwork(*network.Get()));
  }
  return connected;
}

void Win32NetworkList::WatchChanges(std::function<void()> changed) {
  changed_ = std::move(changed);
  if (events_) return;
  if (!window_) {
    window_ = std::make_unique<Win32MessageWindow>(errors_, [this](UINT message, WPARAM) {
      if (message == kNetworkChanged && changed_) changed_();
    });
  }
  ComPtr<IConnectionPointContainer> container;
  Check(Manager().QueryInterface(IID_PPV_ARGS(container.GetAddressOf())));
  ComPtr<IConnectionPoint> point;
  Check(container->FindConnectionPoint(IID_INetworkEvents, point.GetAddressOf()));
  const ComPtr<INetworkEvents> sink = MakeNetworkEventsSink(window_->Hwnd(), kNetworkChanged);
  Check(point->Advise(sink.Get(), &cookie_));
  events_ = std::move(point);
}

}  // namespace rerevure::platform
