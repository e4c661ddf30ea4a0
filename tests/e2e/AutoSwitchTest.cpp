// Switching by itself, with the real program under wine64. Wine's Network
// List Manager reports every adapter with an address (loopback at least) as
// a connected network, none of them named or on a domain, gives them no
// property bag (so none is "identifying" or "unidentified", as Windows' can
// be) and never sends an event: to the program the test machine is always
// "elsewhere" (no network has the school's name), so the first look, once
// quiet after the start, is what these cases can show. Wine's computer is
// joined to no domain. The places and the events are shown against
// fakes in the shell tests. Nothing here goes over a network: the program
// only reads what Wine holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Desktop.h"
#include "ProgramFixture.h"
#include "RunningProgram.h"

namespace rerevure::e2e {
namespace {

// Long enough for a start of net.exe the program had asked for to be recorded.
constexpr auto kSettle = 5s;

class AutoSwitchTest : public ProgramFixture {
 protected:
  static void SetSchoolProxy() {
    WriteDword(kInternetSettings, L"ProxyEnable", 1);
    WriteString(kInternetSettings, L"ProxyServer", L"172.27.2.251:8080");
  }
  // With a school network named: off a domain, without one nothing could
  // ever count as school.
  static void TurnOn(const std::wstring& school_networks = L"School-WiFi") {
    WriteString(kSettingsKey, L"AutoSwitch", L"1");
    WriteString(kSettingsKey, L"SchoolNetworks", school_networks);
  }

  // Starts the program and waits for its start to be over (its message loop
  // answers); then nothing switches: no command, no balloon, no box.
  static void StartAndExpectNothingRan() {
    RunningProgram program;
    ASSERT_NE(program.Main(), nullptr);
    DWORD_PTR result = 0;
    ASSERT_NE(SendMessageTimeoutW(program.Main(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &result),
              0);
    EXPECT_FALSE(WaitUntil([] { return !NetArguments().empty(); }, kSettle));
    const auto balloons = VisibleBalloonTexts();
    EXPECT_EQ(std::find(balloons.begin(), balloons.end(), kHomeBalloon), balloons.end());
    EXPECT_TRUE(program.MessageBoxes().empty());
  }
};

TEST_F(AutoSwitchTest, OnTheSchoolProxyAwayFromSchoolTheStartEntersHomeOnceWithItsBalloon) {
  TurnOn();
  SetSchoolProxy();
  RunningProgram program;
  ASSERT_NE(program.Main(), nullptr);
  EXPECT_TRUE(BalloonShown(kHomeBalloon));
  EXPECT_EQ(ReadDword(kInternetSettings, L"ProxyEnable"), 0u);
  ASSERT_TRUE(WaitUntil([] { return !NetArguments().empty(); }, 20s));
  // Set as the place calls for: it does not switch again.
  WaitUntil([] { return NetArguments().size() > 1; }, kSettle);
  EXPECT_EQ(NetArguments(), std::vector<std::string>{"use * /d /y"});
  EXPECT_TRUE(program.MessageBoxes().empty());
  EXPECT_TRUE(program.Running());
}

TEST_F(AutoSwitchTest, WithTheProxyAlreadyOffTheStartRunsNothing) {
  TurnOn();
  StartAndExpectNothingRan();
  EXPECT_EQ(ReadDword(kInternetSettings, L"ProxyEnable"), 0u);
}

TEST_F(AutoSwitchTest, OffADomainWithNoSchoolNetworkNamedNothingRuns) {
  TurnOn(L"");
  SetSchoolProxy();
  StartAndExpectNothingRan();
  EXPECT_EQ(ReadDword(kInternetSettings, L"ProxyEnable"), 1u);
}

TEST_F(AutoSwitchTest, WithoutAutoSwitchTheSchoolProxyStaysAndNothingRuns) {
  SetSchoolProxy();
  StartAndExpectNothingRan();
  EXPECT_EQ(ReadDword(kInternetSettings, L"ProxyEnable"), 1u);
}

}  // namespace
}  // namespace rerevure::e2e
