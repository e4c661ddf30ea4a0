// The Network List Manager adapter and its events sink against the real
// platform under wine64.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "platform/Win32Com.h"
#include "platform/Win32MessageLoop.h"
#include "platform/Win32MessageWindow.h"
#include "platform/Win32NetworkEventsSink.h"
#include "platform/Win32NetworkList.h"
#include "support/FakeErrorReport.h"

namespace rerevure::platform {
namespace {

using namespace std::chrono_literals;

// Long enough for any message already posted or any short timer to arrive.
constexpr auto kSettle = 500ms;

TEST(Win32NetworkListTest, ReportsWhatWineKnowsAndAcceptsTheEventsSink) {
  ComInitializer com;
  testing::FakeErrorReport errors;
  Win32NetworkList list(errors);
  // Wine counts every adapter with an address as a connected network (the
  // loopback one at least), gives none a name and none is on a domain;
  // Windows names them and leaves loopback out.
  const std::vector<ConnectedNetwork> networks = list.ConnectedNetworks();
  EXPECT_FALSE(networks.empty());
  for (const ConnectedNetwork& network : networks) {
    EXPECT_EQ(network.name, L"");
    EXPECT_FALSE(network.domain_authenticated);
  }
  // Wine accepts the sink but never calls it: the sink is shown below.
  EXPECT_NO_THROW(list.WatchChanges([] {}));
}

TEST(Win32NetworkEventsSinkTest, EveryEventFromAnyThreadArrivesThroughTheMessageLoop) {
  constexpr UINT kChanged = WM_APP + 7;
  testing::FakeErrorReport errors;
  int arrived = 0;
  Win32MessageWindow window(errors, [&](UINT message, WPARAM) { arrived += message == kChanged; });
  Microsoft::WRL::ComPtr<INetworkEvents> sink = MakeNetworkEventsSink(window.Hwnd(), kChanged);
  Microsoft::WRL::ComPtr<INetworkEvents> same;
  ASSERT_EQ(sink.As(&same), S_OK);

  const GUID network{};
  EXPECT_EQ(sink->NetworkAdded(network), S_OK);
  EXPECT_EQ(sink->NetworkConnectivityChanged(network, NLM_CONNECTIVITY_DISCONNECTED), S_OK);
  std::thread([&] {
    sink->NetworkPropertyChanged(network, NLM_NETWORK_PROPERTY_CHANGE_CATEGORY_VALUE);
    sink->NetworkDeleted(network);
  }).join();
  EXPECT_EQ(arrived, 0);  // nothing runs inside the call
  Win32MessageLoop::PumpUntil([&] { return arrived == 4; }, kSettle);
  EXPECT_EQ(arrived, 4);
}

}  // namespace
}  // namespace rerevure::platform
