// The Network List Manager adapter and its events sink against the real
// platform under wine64.

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32ConnectedNetwork.h"
#include "platform/win32/Win32MessageLoop.h"
#include "platform/win32/Win32MessageWindow.h"
#include "platform/win32/Win32NetworkEventsSink.h"
#include "platform/win32/Win32NetworkList.h"
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
    // Wine's networks have no property bag: identified, as they always counted.
    EXPECT_EQ(network.identification, Identification::Identified);
    EXPECT_EQ(network.id.size(), 38u);  // "{...}", as Windows writes a network's id
  }
  // Wine accepts the sink but never calls it: the sink is shown below.
  EXPECT_NO_THROW(list.WatchChanges([] {}));
}

// A network object as Windows hands it out, as far as its class goes: its
// QueryInterface gives the property bag where Windows keeps the class.
class FakeNetworkObject final : public IPropertyBag {
 public:
  FakeNetworkObject(bool has_bag, std::optional<UINT> network_class)
      : has_bag_(has_bag), class_(network_class) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    const bool known =
        IsEqualIID(iid, IID_IUnknown) || (has_bag_ && IsEqualIID(iid, IID_IPropertyBag));
    *object = known ? this : nullptr;
    if (!known) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the stack
  HRESULT STDMETHODCALLTYPE Read(LPCOLESTR property, VARIANT* value, IErrorLog*) override {
    if (!class_ || std::wstring(property) != L"NA_NetworkClass") return E_INVALIDARG;
    value->vt = VT_UINT;
    value->uintVal = *class_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

  ULONG references = 1;

 private:
  bool has_bag_;
  std::optional<UINT> class_;
};

TEST(Win32ConnectedNetworkTest, ReadsTheClassFromTheBagAndCountsAMissingBagAsIdentified) {
  struct Case {
    const char* what;
    bool has_bag;
    std::optional<UINT> network_class;
    Identification expected;
  };
  const Case cases[] = {
      {"identifying", true, NLM_NETWORK_IDENTIFYING, Identification::Identifying},
      {"identified", true, NLM_NETWORK_IDENTIFIED, Identification::Identified},
      {"unidentified", true, NLM_NETWORK_UNIDENTIFIED, Identification::Unidentified},
      {"no bag (Wine)", false, std::nullopt, Identification::Identified},
      {"a bag without the class", true, std::nullopt, Identification::Unidentified},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeNetworkObject network(c.has_bag, c.network_class);
    EXPECT_EQ(ReadIdentification(network), c.expected);
    EXPECT_EQ(network.references, 1u);  // every reference taken is given back
  }
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
