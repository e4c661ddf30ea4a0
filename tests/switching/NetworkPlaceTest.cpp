// Where the laptop is and what that calls for, by the networks and the proxy
// setting it finds.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/FakeTextCodec.h"
#include "switching/NetworkPlace.h"

namespace rerevure::switching {
namespace {

using platform::ConnectedNetwork;
using platform::ConnectionProxySetting;
using platform::Identification;

// As Windows keeps them: switching off clears the flag and leaves the server.
const ConnectionProxySetting kSchoolProxy{3, "172.27.2.251:8080", ""};
const ConnectionProxySetting kDirect{1, "172.27.2.251:8080", ""};

struct Case {
  const char* where;
  std::vector<ConnectedNetwork> networks;
  std::vector<std::wstring> school_networks;
  ConnectionProxySetting proxy;
  ProfileChange expected;
};

TEST(NetworkPlaceTest, ActsOnlyWhereThePlaceAndTheProxyDiffer) {
  const std::vector<ConnectedNetwork> on_domain = {{L"HomeWiFi", false}, {L"school.nz", true}};
  const std::vector<ConnectedNetwork> named = {{L"SCH\u00dcLE-WLAN", false}};
  const std::vector<ConnectedNetwork> at_home = {{L"HomeWiFi", false}, {L"", false}};
  const std::vector<std::wstring> names = {L"Staff", L"", L"sch\u00fcle-wlan"};
  // What Windows lists while it works a network out, and once it gives up.
  const ConnectedNetwork identifying{L"Identifying...", false, Identification::Identifying};
  const ConnectedNetwork unidentified{L"Unidentified network", false, Identification::Unidentified};
  const std::vector<ConnectedNetwork> home_identifying = {at_home[0], identifying};
  const std::vector<ConnectedNetwork> home_virtual = {at_home[0], unidentified};
  const std::vector<ConnectedNetwork> domain_virtual = {unidentified, on_domain[1]};
  const std::vector<ConnectedNetwork> school_identifying = {identifying, named[0]};
  const std::vector<ConnectedNetwork> renumbered = {{L"Sch\u00fcle-WLAN 12", false}};
  const std::vector<ConnectedNetwork> letter_too = {{L"Sch\u00fcle-WLAN 2b", false}};
  const std::vector<ConnectedNetwork> no_blank = {{L"Sch\u00fcle-WLAN2", false}};
  const Case cases[] = {
      {"school by domain, proxy off", on_domain, {}, kDirect, ProfileChange::EnterSchool},
      {"school by domain, proxy on", on_domain, {}, kSchoolProxy, ProfileChange::None},
      {"school by name, proxy off", named, names, kDirect, ProfileChange::EnterSchool},
      {"school by name, proxy on", named, names, kSchoolProxy, ProfileChange::None},
      {"elsewhere, proxy off", at_home, names, kDirect, ProfileChange::None},
      {"elsewhere, proxy on", at_home, names, kSchoolProxy, ProfileChange::EnterHome},
      {"nowhere, proxy off", {}, names, kDirect, ProfileChange::None},
      {"nowhere, proxy on", {}, names, kSchoolProxy, ProfileChange::None},
      // Wine reports the proxy flag alone, without "direct".
      {"elsewhere, proxy flag alone",
       at_home,
       names,
       {2, "172.27.2.251:8080", ""},
       ProfileChange::EnterHome},
      // Someone else's proxy is not the school's to undo.
      {"elsewhere, another proxy", at_home, names, {3, "10.1.1.1:3128", ""}, ProfileChange::None},
      // An empty entry in the list never names the unnamed networks.
      {"unnamed network, empty name listed", {{L"", false}}, {L""}, kDirect, ProfileChange::None},
      // Only what Windows has identified counts: the rest may be the school's.
      {"identifying, proxy on", {identifying}, names, kSchoolProxy, ProfileChange::None},
      {"home, one identifying", home_identifying, names, kSchoolProxy, ProfileChange::None},
      {"only unidentified, proxy on", {unidentified}, names, kSchoolProxy, ProfileChange::None},
      {"home, a virtual adapter", home_virtual, names, kSchoolProxy, ProfileChange::EnterHome},
      {"domain, a virtual adapter", domain_virtual, {}, kDirect, ProfileChange::EnterSchool},
      // The school's network is evidence enough; only "elsewhere" waits.
      {"school by name, one identifying", school_identifying, names, kDirect,
       ProfileChange::EnterSchool},
      // Without a property bag (Wine) a network counts as identified.
      {"no property bag, unnamed", {{L"", false}}, names, kSchoolProxy, ProfileChange::EnterHome},
      // Windows numbers a further profile of a known network.
      {"renumbered school name", renumbered, names, kDirect, ProfileChange::EnterSchool},
      {"name, a blank, not a number", letter_too, names, kSchoolProxy, ProfileChange::EnterHome},
      {"name and a number, no blank", no_blank, names, kSchoolProxy, ProfileChange::EnterHome},
  };
  testing::FakeTextCodec codec;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const Place place = WhereIsTheLaptop(c.networks, c.school_networks, codec);
    EXPECT_EQ(ChangeFor(place, IsSetToSchoolProxy(c.proxy, {}, codec).value()), c.expected);
  }
}

// With a proxy of the school's own, what the school switch sets counts as
// the school profile, and nothing else does.
TEST(NetworkPlaceTest, TheSchoolProfileIsOnWhenTheConnectionHoldsWhatTheSwitchWouldSet) {
  const std::optional<std::wstring> none, own = L"p.school:81", pac = L"http://wpad/p.pac";
  const ConnectionProxySetting on_own{3, "p.school:81", ""};
  const ConnectionProxySetting on_both{7, "p.school:81", "http://wpad/p.pac"};
  const struct {
    SchoolProxyPolicy policy;
    ConnectionProxySetting setting;
    std::optional<bool> on;
  } rows[] = {
      {{own, L"<local>", none}, on_own, true},
      {{own, none, none}, kSchoolProxy, false},
      {{own, none, none}, on_both, false},
      {{own, none, pac}, on_both, true},
      {{none, none, pac}, on_both, false},
      {{own, none, pac}, {5, "", "http://wpad/p.pac"}, false},
      {{L"p school", none, none}, on_own, std::nullopt},  // the switch would set nothing
  };
  testing::FakeTextCodec codec;
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    EXPECT_EQ(IsSetToSchoolProxy(row.setting, row.policy, codec), row.on);
  }
}

}  // namespace
}  // namespace rerevure::switching
