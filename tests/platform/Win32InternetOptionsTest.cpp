#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/Win32InternetOptions.h"
#include "platform/win32/Win32PerConnectionOptionList.h"
#include "platform/win32/Win32TextCodec.h"
#include "switching/ConnectionProxy.h"

namespace rerevure::platform {
namespace {

using namespace std::string_literals;

// One InternetSetOptionA call as the library saw it, copied out field by field
// while the call was being made.
struct SeenElement {
  DWORD option = 0;
  std::array<unsigned char, sizeof(INTERNET_PER_CONN_OPTIONA::Value)> slot{};
  std::string text;  // what a text value points to, up to its NUL
};

struct SeenCall {
  bool null_handle = false;
  DWORD option = 0;
  bool null_buffer = false;
  DWORD length = 0;
  // Option 75 only:
  DWORD list_size = 0;
  bool connection_is_null = true;
  std::string connection;  // up to the NUL
  DWORD option_count = 0;
  DWORD option_error = 0;
  std::vector<SeenElement> elements;
};

std::vector<SeenCall> seen;
bool refuse_list = false;

BOOL WINAPI SpyInternetSetOption(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
  SeenCall call;
  call.null_handle = handle == nullptr;
  call.option = option;
  call.null_buffer = buffer == nullptr;
  call.length = length;
  if (option == INTERNET_OPTION_PER_CONNECTION_OPTION && buffer != nullptr) {
    const auto* list = static_cast<const INTERNET_PER_CONN_OPTION_LISTA*>(buffer);
    call.list_size = list->dwSize;
    call.connection_is_null = list->pszConnection == nullptr;
    if (list->pszConnection) call.connection = list->pszConnection;
    call.option_count = list->dwOptionCount;
    call.option_error = list->dwOptionError;
    for (DWORD i = 0; i < list->dwOptionCount; ++i) {
      const INTERNET_PER_CONN_OPTIONA& element = list->pOptions[i];  // contiguous
      SeenElement copy;
      copy.option = element.dwOption;
      std::memcpy(copy.slot.data(), &element.Value, copy.slot.size());
      if (element.dwOption != INTERNET_PER_CONN_FLAGS && element.Value.pszValue)
        copy.text = element.Value.pszValue;
      call.elements.push_back(copy);
    }
  }
  seen.push_back(call);
  if (option == INTERNET_OPTION_PER_CONNECTION_OPTION && refuse_list) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return InternetSetOptionA(handle, option, buffer, length);
}

const wchar_t kInternetSettings[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

DWORD ProxyEnable() {
  DWORD value = 0xDEAD, size = sizeof value;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyEnable", RRF_RT_REG_DWORD,
                         nullptr, &value, &size),
            ERROR_SUCCESS);
  return value;
}

std::wstring ProxyServer() {
  wchar_t value[256] = L"";
  DWORD size = sizeof value;
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kInternetSettings, L"ProxyServer", RRF_RT_REG_SZ,
                         nullptr, value, &size),
            ERROR_SUCCESS);
  return value;
}

template <class T>
T SlotAs(const SeenElement& element) {
  T value{};
  std::memcpy(&value, element.slot.data(), sizeof value);
  return value;
}

// The part of the value slot that a number or a pointer does not fill.
bool SlotRestIsZero(const SeenElement& element, std::size_t used) {
  for (std::size_t i = used; i < element.slot.size(); ++i)
    if (element.slot[i] != 0) return false;
  return true;
}

class Win32InternetOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seen.clear();
    refuse_list = false;
  }
  void TearDown() override {
    refuse_list = false;
    switching::DisableConnectionProxy(real, codec, L"");
  }

  Win32TextCodec codec;
  Win32InternetOptions spied{&SpyInternetSetOption};
  Win32InternetOptions real;
};

TEST_F(Win32InternetOptionsTest, TheEnablingRecordsReachTheLibraryFieldByField) {
  ASSERT_TRUE(switching::SetConnectionOptions(spied, codec, L"", L"172.27.2.251:8080"));

  ASSERT_EQ(seen.size(), 3u);
  const SeenCall& call = seen[0];
  EXPECT_TRUE(call.null_handle);
  EXPECT_EQ(call.option, 75u);
  EXPECT_EQ(call.length, sizeof(INTERNET_PER_CONN_OPTION_LISTA));
  EXPECT_EQ(call.list_size, sizeof(INTERNET_PER_CONN_OPTION_LISTA));
  // "" is a buffer holding one NUL, not a null pointer.
  EXPECT_FALSE(call.connection_is_null);
  EXPECT_EQ(call.connection, "");
  EXPECT_EQ(call.option_count, 3u);
  EXPECT_EQ(call.option_error, 0u);
  ASSERT_EQ(call.elements.size(), 3u);

  EXPECT_EQ(call.elements[0].option, 1u);
  EXPECT_EQ(SlotAs<DWORD>(call.elements[0]), 3u);
  EXPECT_TRUE(SlotRestIsZero(call.elements[0], sizeof(DWORD)));
  EXPECT_EQ(call.elements[1].option, 2u);
  EXPECT_EQ(call.elements[1].text, "172.27.2.251:8080");
  EXPECT_TRUE(SlotRestIsZero(call.elements[1], sizeof(void*)));
  // The bypass list is proven here: Wine 8 drops it when it saves the
  // settings (it writes only ProxyEnable and ProxyServer), so it cannot be
  // read back from Wine's registry.
  EXPECT_EQ(call.elements[2].option, 3u);
  EXPECT_EQ(call.elements[2].text, "<local>172.*");
  EXPECT_TRUE(SlotRestIsZero(call.elements[2], sizeof(void*)));

  for (std::size_t i : {1u, 2u}) {
    EXPECT_TRUE(seen[i].null_handle);
    EXPECT_TRUE(seen[i].null_buffer);
    EXPECT_EQ(seen[i].length, 0u);
  }
  EXPECT_EQ(seen[1].option, 39u);
  EXPECT_EQ(seen[2].option, 37u);
}

TEST_F(Win32InternetOptionsTest, TheDisablingRecordsReachTheLibraryFieldByField) {
  ASSERT_TRUE(switching::DisableConnectionProxy(spied, codec, L""));

  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].list_size, sizeof(INTERNET_PER_CONN_OPTION_LISTA));
  EXPECT_FALSE(seen[0].connection_is_null);
  EXPECT_EQ(seen[0].connection, "");
  EXPECT_EQ(seen[0].option_count, 1u);
  ASSERT_EQ(seen[0].elements.size(), 1u);
  EXPECT_EQ(seen[0].elements[0].option, 1u);
  EXPECT_EQ(SlotAs<DWORD>(seen[0].elements[0]), 1u);
  EXPECT_TRUE(SlotRestIsZero(seen[0].elements[0], sizeof(DWORD)));
  EXPECT_EQ(seen[1].option, 39u);
  EXPECT_EQ(seen[2].option, 37u);
}

TEST_F(Win32InternetOptionsTest, WhatTheLibraryKeepsReadsBack) {
  ASSERT_TRUE(switching::SetConnectionOptions(real, codec, L"", L"172.27.2.251:8080"));
  EXPECT_EQ(ProxyEnable(), 1u);
  EXPECT_EQ(ProxyServer(), L"172.27.2.251:8080");
  std::optional<ConnectionProxySetting> queried = real.QueryDefaultConnectionProxy();
  ASSERT_TRUE(queried.has_value());
  EXPECT_NE(queried->flags & PROXY_TYPE_PROXY, 0u);
  EXPECT_EQ(queried->proxy_server, "172.27.2.251:8080");

  ASSERT_TRUE(switching::DisableConnectionProxy(real, codec, L""));
  EXPECT_EQ(ProxyEnable(), 0u);
  queried = real.QueryDefaultConnectionProxy();
  ASSERT_TRUE(queried.has_value());
  EXPECT_EQ(queried->flags & PROXY_TYPE_PROXY, 0u);
}

TEST_F(Win32InternetOptionsTest, BothNotificationsAreSentWhenTheListIsRefused) {
  ASSERT_TRUE(switching::DisableConnectionProxy(real, codec, L""));
  refuse_list = true;

  EXPECT_FALSE(switching::SetConnectionOptions(spied, codec, L"", L"172.27.2.251:8080"));

  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].option, 75u);
  EXPECT_EQ(seen[1].option, 39u);
  EXPECT_EQ(seen[2].option, 37u);
  EXPECT_EQ(ProxyEnable(), 0u);
}

TEST(NativePerConnectionOptionListTest, TextsAreCopiedWithTheirNulAndNumbersFillOnlyTheirSlot) {
  PerConnectionOptionList list{"LAN\0"s, {{2, "a\0"s}, {1, 7u}, {3, "no terminator"s}}};
  NativePerConnectionOptionList native(list);
  list.connection = "changed";  // the records hold their own copies

  const INTERNET_PER_CONN_OPTION_LISTA& records = native.List();
  EXPECT_EQ(records.dwSize, NativePerConnectionOptionList::Size());
  EXPECT_STREQ(records.pszConnection, "LAN");
  ASSERT_EQ(records.dwOptionCount, 3u);
  EXPECT_STREQ(records.pOptions[0].Value.pszValue, "a");
  EXPECT_EQ(records.pOptions[1].Value.dwValue, 7u);
  // A buffer handed over without its NUL still ends in one.
  EXPECT_STREQ(records.pOptions[2].Value.pszValue, "no terminator");
}

}  // namespace
}  // namespace rerevure::platform
