// Where the laptop is and what that calls for, by the networks and the proxy
// setting it finds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/FakeTextCodec.h"
#include "switching/NetworkPlace.h"

namespace rerevure::switching {
namespace {

using platform::ConnectedNetwork;
using platform::ConnectionProxySetting;

// As Windows keeps them: switching off clears the flag and leaves the server.
const ConnectionProxySetting kSchoolProxy{3, "172.27.2.251:8080"};
const ConnectionProxySetting kDirect{1, "172.27.2.251:8080"};

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
       {2, "172.27.2.251:8080"},
       ProfileChange::EnterHome},
      // Someone else's proxy is not the school's to undo.
      {"elsewhere, another proxy", at_home, names, {3, "10.1.1.1:3128"}, ProfileChange::None},
      // An empty entry in the list never names the unnamed networks.
      {"unnamed network, empty name listed", {{L"", false}}, {L""}, kDirect, ProfileChange::None},
  };
  testing::FakeTextCodec codec;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    const Place place = WhereIsTheLaptop(c.networks, c.school_networks, codec);
    EXPECT_EQ(ChangeFor(place, IsSetToSchoolProxy(c.proxy, codec)), c.expected);
  }
}

}  // namespace
}  // namespace rerevure::switching
