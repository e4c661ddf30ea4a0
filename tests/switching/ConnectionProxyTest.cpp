#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "support/CallJournal.h"
#include "support/FakeInternetOptions.h"
#include "support/FakeTextCodec.h"
#include "switching/ConnectionProxy.h"
#include "switching/SchoolProxy.h"

namespace rerevure::switching {
namespace {

using platform::PerConnectionOption;
using platform::PerConnectionOptionList;
using testing::CallJournal;
using testing::FakeInternetOptions;
using testing::FakeTextCodec;
using namespace std::string_literals;

class ConnectionProxyTest : public ::testing::Test {
 protected:
  ConnectionProxyTest() { internet.journal = &journal; }

  FakeTextCodec codec;
  CallJournal journal;
  FakeInternetOptions internet;
};

TEST_F(ConnectionProxyTest, EnablingSendsTheThreeOptionsThenBothNotifications) {
  EXPECT_TRUE(SetConnectionOptions(internet, codec, L"", L"172.27.2.251:8080"));

  const PerConnectionOptionList expected{
      "\0"s,  // "" is one NUL byte, never a null pointer
      {PerConnectionOption{1, 3u}, PerConnectionOption{2, "172.27.2.251:8080\0"s},
       PerConnectionOption{3, "<local>172.*\0"s}}};
  ASSERT_EQ(internet.lists.size(), 1u);
  EXPECT_EQ(internet.lists[0], expected);
  EXPECT_EQ(journal.entries,
            (std::vector<std::wstring>{L"SetPerConnectionOptions", L"Notify 39", L"Notify 37"}));
  EXPECT_TRUE(internet.ProxyEnabled());
}

TEST_F(ConnectionProxyTest, DisablingSendsDirectOnlyThenBothNotifications) {
  ASSERT_TRUE(SetConnectionOptions(internet, codec, L"", L"172.27.2.251:8080"));
  journal.entries.clear();

  EXPECT_TRUE(DisableConnectionProxy(internet, codec, L""));

  const PerConnectionOptionList expected{"\0"s, {PerConnectionOption{1, 1u}}};
  EXPECT_EQ(internet.lists.back(), expected);
  EXPECT_EQ(journal.entries,
            (std::vector<std::wstring>{L"SetPerConnectionOptions", L"Notify 39", L"Notify 37"}));
  EXPECT_FALSE(internet.ProxyEnabled());
}

TEST_F(ConnectionProxyTest, DisablingAnAlreadyDirectConnectionStillSendsEverything) {
  EXPECT_TRUE(DisableConnectionProxy(internet, codec, L""));
  EXPECT_TRUE(DisableConnectionProxy(internet, codec, L""));
  EXPECT_EQ(internet.lists.size(), 2u);
  EXPECT_EQ(internet.notifications, (std::vector<std::uint32_t>{39, 37, 39, 37}));
}

TEST_F(ConnectionProxyTest, ARefusedListIsReportedButTheNotificationsAreStillSent) {
  internet.accept = false;
  EXPECT_FALSE(SetConnectionOptions(internet, codec, L"", L"172.27.2.251:8080"));
  EXPECT_FALSE(DisableConnectionProxy(internet, codec, L""));
  EXPECT_EQ(journal.entries,
            (std::vector<std::wstring>{L"SetPerConnectionOptions", L"Notify 39", L"Notify 37",
                                       L"SetPerConnectionOptions", L"Notify 39", L"Notify 37"}));
}

TEST_F(ConnectionProxyTest, TextsReachTheLibraryInTheAnsiCodePageUnchecked) {
  SetConnectionOptions(internet, codec, L"Verbindung \u00FC", L"pr\u00F8xy\u4E2D:99999");
  const auto& list = internet.lists.at(0);
  EXPECT_EQ(list.connection, "Verbindung \xFC\0"s);
  EXPECT_EQ(list.options.at(1), (PerConnectionOption{2, "pr\xF8xy?:99999\0"s}));
  // The bypass list is a constant of the operation, whatever the address.
  EXPECT_EQ(list.options.at(2), (PerConnectionOption{3, "<local>172.*\0"s}));
}

// What the school switch hands the library for each form of the school's
// policy: one whole list, or, for a bad value, none at all.
TEST_F(ConnectionProxyTest, TheSchoolsPolicyGivesOneWholeListOrNone) {
  const std::wstring own = L"proxy.school.example:3128";
  const std::string own_bytes = "proxy.school.example:3128\0"s;
  const std::wstring pac = L"https://wpad.school.example/proxy.pac";
  const std::string pac_bytes = "https://wpad.school.example/proxy.pac\0"s;
  const PerConnectionOption built_in_server{2, "172.27.2.251:8080\0"s};
  const PerConnectionOption built_in_bypass{3, "<local>172.*\0"s};
  // The longest address WinINet takes, and one character more.
  const std::wstring longest = L"http://" + std::wstring(2083 - 7, L'a');
  const std::nullopt_t none = std::nullopt;
  struct Row {
    const char* form;
    SchoolProxyPolicy policy;
    std::vector<PerConnectionOption> options;  // none: a bad value
    std::wstring_view bad_value = {};
  };
  const Row rows[] = {
      {"built-in", {}, {{1, 3u}, built_in_server, built_in_bypass}},
      {"fields left empty", {L"", L"", L""}, {{1, 3u}, built_in_server, built_in_bypass}},
      {"a bypass list alone",
       {none, L"<local>", none},
       {{1, 3u}, built_in_server, built_in_bypass}},
      {"policy proxy", {own, none, none}, {{1, 3u}, {2, own_bytes}, built_in_bypass}},
      {"per protocol, with bypass",
       {L"http=p.school.example:80;https=p.school.example:443", L"<local>;*.school.example;10.*",
        none},
       {{1, 3u},
        {2, "http=p.school.example:80;https=p.school.example:443\0"s},
        {3, "<local>;*.school.example;10.*\0"s}}},
      {"script", {none, L"<local>", pac}, {{1, 5u}, {4, pac_bytes}}},
      {"script, fallback proxy",
       {own, none, pac},
       {{1, 7u}, {2, own_bytes}, built_in_bypass, {4, pac_bytes}}},
      {"script, longest address",
       {none, none, longest},
       {{1, 5u}, {4, codec.ToAnsi(longest) + '\0'}}},
      {"scheme in capitals",
       {none, none, L"HTTP://wpad/p.pac"},
       {{1, 5u}, {4, "HTTP://wpad/p.pac\0"s}}},
      {"blank in proxy", {L"proxy school:3128", none, none}, {}, L"ProxyServer"},
      {"control character in bypass", {own, L"<local>;\n*.x", none}, {}, L"ProxyBypass"},
      {"no-break space in proxy", {L"proxy\u00A0:3128", none, none}, {}, L"ProxyServer"},
      {"script over ftp", {own, none, L"ftp://wpad/p.pac"}, {}, L"AutoConfigURL"},
      {"scheme without host", {none, none, L"https://"}, {}, L"AutoConfigURL"},
      {"a file, not an address", {none, none, L"file:///C:/p.pac"}, {}, L"AutoConfigURL"},
      {"blank in address", {none, none, L"http://wpad/p pac"}, {}, L"AutoConfigURL"},
      {"address too long", {none, none, longest + L"a"}, {}, L"AutoConfigURL"},
      {"proxy too long", {std::wstring(2084, L'p'), none, none}, {}, L"ProxyServer"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.form);
    const auto list = MakeSchoolOptionList(codec, L"", row.policy);
    if (row.options.empty()) {
      ASSERT_TRUE(std::holds_alternative<BadPolicyValue>(list));
      EXPECT_EQ(std::get<BadPolicyValue>(list).name, row.bad_value);
    } else {
      ASSERT_TRUE(std::holds_alternative<PerConnectionOptionList>(list));
      EXPECT_EQ(std::get<PerConnectionOptionList>(list),
                (PerConnectionOptionList{"\0"s, row.options}));
    }
  }
}

}  // namespace
}  // namespace rerevure::switching
