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
  const std::wstring own = L"p.school:81", pac = L"https://wpad.school/p.pac";
  const PerConnectionOption own_server{2, "p.school:81\0"s},
      pac_url{4, "https://wpad.school/p.pac\0"s};
  const PerConnectionOption built_in_server{2, "172.27.2.251:8080\0"s};
  const PerConnectionOption built_in_bypass{3, "<local>172.*\0"s};
  const std::wstring longest = L"http://" + std::wstring(2083 - 7, L'a');  // WinINet's longest
  const std::nullopt_t none = std::nullopt;
  const struct {
    SchoolProxyPolicy policy;
    std::vector<PerConnectionOption> options;  // none: a bad value
    std::wstring_view bad_value = {};
  } rows[] = {
      {{}, {{1, 3u}, built_in_server, built_in_bypass}},
      {{L"", L"<local>", L""}, {{1, 3u}, built_in_server, built_in_bypass}},  // left empty
      {{own, none, none}, {{1, 3u}, own_server, built_in_bypass}},
      {{L"http=h:80;https=h:443", L"<local>;*.school", none},
       {{1, 3u}, {2, "http=h:80;https=h:443\0"s}, {3, "<local>;*.school\0"s}}},
      {{none, none, pac}, {{1, 5u}, pac_url}},
      {{own, none, pac}, {{1, 7u}, own_server, built_in_bypass, pac_url}},
      {{none, none, longest}, {{1, 5u}, {4, codec.ToAnsi(longest) + '\0'}}},
      {{L"p.school :81", none, none}, {}, L"ProxyServer"},
      {{own, L"<local>;\n*.school", none}, {}, L"ProxyBypass"},
      {{own, none, L"ftp://wpad.school/p.pac"}, {}, L"AutoConfigURL"},
      {{none, none, longest + L"a"}, {}, L"AutoConfigURL"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(&row - rows);
    const auto list = MakeSchoolOptionList(codec, L"", row.policy);
    if (row.options.empty())
      EXPECT_EQ(std::get<BadPolicyValue>(list).name, row.bad_value);
    else
      EXPECT_EQ(std::get<PerConnectionOptionList>(list),
                (PerConnectionOptionList{"\0"s, row.options}));
  }
}

}  // namespace
}  // namespace rerevure::switching
