#include <gtest/gtest.h>

#include <array>

#include "platform/NotifyIconRecord.h"
#include "platform/TextCodec.h"
#include "support/FakeTextCodec.h"

namespace rerevure::platform {
namespace {

// A double-byte code page: every character outside ASCII takes two bytes.
class DoubleByteCodec final : public TextCodec {
 public:
  std::string ToAnsi(std::wstring_view text) const override {
    std::string out;
    for (wchar_t c : text) {
      if (c < 0x80) {
        out.push_back(static_cast<char>(c));
      } else {
        out.push_back('\x81');
        out.push_back('\x40');
      }
    }
    return out;
  }
  std::string ToOem(std::wstring_view text) const override { return ToAnsi(text); }
  std::wstring ToUpperInvariant(std::wstring_view text) const override {
    return std::wstring(text);  // not used by the tray record
  }
};

TEST(FixedTextFieldTest, TextThenOneNulThenBlanks) {
  EXPECT_EQ(FixedTextField(L"ab", 6), std::wstring(L"ab\0   ", 6));
  EXPECT_EQ(FixedTextField(L"", 3), std::wstring(L"\0  ", 3));
  EXPECT_EQ(FixedTextField(L"abcde", 6), std::wstring(L"abcde\0", 6));
  EXPECT_EQ(FixedTextField(L"abcdefgh", 6), std::wstring(L"abcde\0", 6));
  EXPECT_EQ(FieldText(FixedTextField(L"ab", 6)), L"ab");
  EXPECT_EQ(FieldText(std::wstring(4, L'\0')), L"");
}

TEST(ToAnsiFieldTest, ConvertsTheWholeFieldWithItsPadding) {
  testing::FakeTextCodec codec;  // ANSI 1252
  std::array<char, 8> out;
  out.fill('#');
  ToAnsiField(codec, FixedTextField(L"J\u00fcrg", 8), out);
  EXPECT_EQ(std::string(out.data(), out.size()), std::string("J\xfcrg\0   ", 8));
  ToAnsiField(codec, std::wstring(8, L'\0'), out);
  EXPECT_EQ(std::string(out.data(), out.size()), std::string(8, '\0'));
}

TEST(ToAnsiFieldTest, KeepsTheTerminatorInsideWhenTheAnsiTextGrows) {
  DoubleByteCodec codec;
  std::array<char, 6> out;
  // Four characters fit the Unicode field of six, but take eight bytes.
  ToAnsiField(codec, FixedTextField(L"\u4e00\u4e00\u4e00\u4e00", 6), out);
  // Two whole characters and the NUL; no lead byte is left without its partner.
  EXPECT_EQ(std::string(out.data(), out.size()), std::string("\x81\x40\x81\x40\0 ", 6));
}

}  // namespace
}  // namespace rerevure::platform
