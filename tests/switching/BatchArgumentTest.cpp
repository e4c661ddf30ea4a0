#include <gtest/gtest.h>

#include <string>

#include "switching/BatchArgument.h"

namespace rerevure::switching {
namespace {

struct Case {
  std::wstring value;
  std::wstring written;
};

void ExpectWritten(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    EXPECT_EQ(BatchArgument(c.value), c.written) << "value: " << ::testing::PrintToString(c.value);
    EXPECT_TRUE(CanPassInBatch(c.value));
  }
}

TEST(BatchArgumentTest, OrdinaryValuesAreWrittenAsTheyAre) {
  ExpectWritten({
      {L"", L""},
      {L"\\\\srv01\\home$\\jsmith", L"\\\\srv01\\home$\\jsmith"},
      {L"\\\\srv01\\share\\", L"\\\\srv01\\share\\"},  // no closing quote to protect
      {L"Pa55w0rd*?.-_~#@'`[]{}+:/", L"Pa55w0rd*?.-_~#@'`[]{}+:/"},
  });
}

TEST(BatchArgumentTest, PercentIsDoubledSoNoVariableExpands) {
  ExpectWritten({
      {L"50%", L"50%%"},
      {L"%PATH%", L"%%PATH%%"},
      {L"%~dp0%1", L"%%~dp0%%1"},
      {L"a b%c", L"\"a b%%c\""},  // inside quotes a batch file still expands %
  });
}

TEST(BatchArgumentTest, BlanksAndSpecialCharactersAreQuoted) {
  ExpectWritten({
      {L"\\\\srv01\\my share", L"\"\\\\srv01\\my share\""},
      {L"a&b", L"\"a&b\""},
      {L"a|b", L"\"a|b\""},
      {L"a<b", L"\"a<b\""},
      {L"a>b", L"\"a>b\""},
      {L"a^b", L"\"a^b\""},
      {L"(ab)", L"\"(ab)\""},
      {L"a!b!", L"\"a!b!\""},
      {L"a;b,c=d", L"\"a;b,c=d\""},
      {L" ", L"\" \""},
      // Outside ASCII: a byte of the character could be a special one.
      {L"J\u00FCrgen", L"\"J\u00FCrgen\""},
      {L"\u8868", L"\"\u8868\""},
      {L"\\\\srv\\\u30BD\\", L"\"\\\\srv\\\u30BD\\\\\""},
  });
}

TEST(BatchArgumentTest, BackslashesBeforeTheClosingQuoteAreDoubled) {
  ExpectWritten({
      {L"\\\\srv01\\my share\\", L"\"\\\\srv01\\my share\\\\\""},
      {L"a&b\\\\\\", L"\"a&b\\\\\\\\\\\\\""},
      {L"a b\\c", L"\"a b\\c\""},  // not before the quote: left alone
  });
}

TEST(BatchArgumentTest, ValuesThatCannotBePassedSafelyAreLeftOut) {
  for (std::wstring value : {L"say \"hi\"", L"\"", L"line\r\nbreak", L"tab\there", L"a\nb",
                             L"bell\a", L"del\x7F", L"next\x85line", L"para\u2029graph"}) {
    EXPECT_FALSE(CanPassInBatch(value)) << ::testing::PrintToString(value);
    EXPECT_EQ(BatchArgument(value), L"") << ::testing::PrintToString(value);
  }
}

}  // namespace
}  // namespace rerevure::switching
