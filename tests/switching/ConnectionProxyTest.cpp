#include <gtest/gtest.h>

#include <string>

#include "support/CallJournal.h"
#include "support/FakeInternetOptions.h"
#include "support/FakeTextCodec.h"
#include "switching/ConnectionProxy.h"

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

}  // namespace
}  // namespace rerevure::switching
