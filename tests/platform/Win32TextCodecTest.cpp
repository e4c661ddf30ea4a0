#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "platform/win32/Win32TextCodec.h"

namespace rerevure::platform {
namespace {

using namespace std::string_literals;

char DefaultCharacter(UINT code_page) {
  CPINFO info{};
  EXPECT_TRUE(GetCPInfo(code_page, &info));
  return static_cast<char>(info.DefaultChar[0]);
}

class Win32TextCodecTest : public ::testing::Test {
 protected:
  Win32TextCodec codec;
};

TEST_F(Win32TextCodecTest, AsciiAndTheNulPassUnchanged) {
  const std::wstring text = L"172.27.2.251:8080 <local>172.*\0"s;
  EXPECT_EQ(codec.ToAnsi(text), "172.27.2.251:8080 <local>172.*\0"s);
  EXPECT_EQ(codec.ToOem(text), "172.27.2.251:8080 <local>172.*\0"s);
  EXPECT_EQ(codec.ToAnsi(L""), "");
}

TEST_F(Win32TextCodecTest, AnsiAndOemPlaceALetterWhereTheirCodePagesDo) {
  // Wine takes its code pages from the locale it runs in; the bytes below
  // are those of the Western European pages it uses for English and C.
  if (GetACP() != 1252 || GetOEMCP() != 437)
    GTEST_SKIP() << "code pages " << GetACP() << "/" << GetOEMCP() << ", not 1252/437";
  EXPECT_EQ(codec.ToAnsi(L"J\u00FCrgen"), "J\xFCrgen");
  EXPECT_EQ(codec.ToOem(L"J\u00FCrgen"), "J\x81rgen");
}

TEST_F(Win32TextCodecTest, WhatACodePageCannotHoldBecomesItsDefaultCharacter) {
  EXPECT_EQ(codec.ToAnsi(L"a\u4E2Db"), "a"s + DefaultCharacter(CP_ACP) + "b");
  EXPECT_EQ(codec.ToOem(L"a\u4E2Db"), "a"s + DefaultCharacter(CP_OEMCP) + "b");
}

TEST_F(Win32TextCodecTest, NoLookAlikeBecomesACharacterTheCommandInterpreterActsOn) {
  // Full-width percent sign, quotation mark and ampersand.
  const std::wstring look_alikes = L"\uFF05\uFF02\uFF06";
  const std::string oem = codec.ToOem(look_alikes);
  EXPECT_EQ(oem, std::string(3, DefaultCharacter(CP_OEMCP)));
  EXPECT_EQ(codec.ToAnsi(look_alikes), std::string(3, DefaultCharacter(CP_ACP)));
}

TEST_F(Win32TextCodecTest, CapitalsOfLettersBeyondAsciiAndNothingElseChanged) {
  // Latin-1, Greek and Cyrillic letters too.
  EXPECT_EQ(codec.ToUpperInvariant(L"Sch\u00FCle-\u03B1\u0434 net 2"),
            L"SCH\u00DCLE-\u0391\u0414 NET 2");
  // "i" is "I" whatever the user's language (Turkish rules would give a dotted one).
  EXPECT_EQ(codec.ToUpperInvariant(L"i"), L"I");
  EXPECT_EQ(codec.ToUpperInvariant(L""), L"");
}

}  // namespace
}  // namespace rerevure::platform
