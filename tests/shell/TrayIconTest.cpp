#include <gtest/gtest.h>

#include "shell/TrayIcon.h"
#include "support/FakeTray.h"

namespace rerevure::shell {
namespace {

using platform::FixedTextField;
using platform::kNimAdd;
using platform::kNimDelete;
using platform::kNimModify;
using testing::FakeTray;

constexpr std::uintptr_t kWindow = 0x1234;
constexpr std::uintptr_t kIcon = 0x5678;

std::wstring Field(const std::wstring& text, std::size_t length) {
  std::wstring field = text;
  field.push_back(L'\0');
  field.resize(length, L' ');
  return field;
}

class TrayIconTest : public ::testing::Test {
 protected:
  void AddLoadedIcon() {
    icon_.Fill(kWindow, kIcon);
    icon_.AddIcon();
  }
  FakeTray tray_;
  TrayIcon icon_{tray_};
};

TEST_F(TrayIconTest, AddPassesTheRecordFilledAtLoad) {
  AddLoadedIcon();
  ASSERT_EQ(tray_.Messages(), std::vector<std::uint32_t>{kNimAdd});
  const platform::NotifyIconRecord& sent = tray_.Calls()[0].record;
  EXPECT_EQ(sent.cbSize, sizeof(void*) == 4 ? 488u : 504u);
  EXPECT_EQ(sent.hWnd, kWindow);
  EXPECT_EQ(sent.uID, 1u);
  EXPECT_EQ(sent.uFlags, 0x17u);
  EXPECT_EQ(sent.uCallbackMessage, 0x200u);
  EXPECT_EQ(sent.hIcon, kIcon);
  EXPECT_EQ(sent.dwState, 2u);
  EXPECT_EQ(sent.dwStateMask, 0u);
  // The tip was set to the empty text: a NUL, then blanks to 128 characters.
  EXPECT_EQ(sent.szTip, Field(L"", 128));
  // The balloon fields were never set: no balloon at start.
  EXPECT_EQ(sent.szInfo, std::wstring(256, L'\0'));
  EXPECT_EQ(sent.szInfoTitle, std::wstring(64, L'\0'));
  EXPECT_EQ(sent.uTimeout, 0u);
  EXPECT_EQ(sent.dwInfoFlags, 0u);
  EXPECT_TRUE(tray_.HasIcon(kWindow, 1));
}

TEST_F(TrayIconTest, BalloonSetsItsFourFieldsAndModifies) {
  AddLoadedIcon();
  const platform::NotifyIconRecord before = icon_.Record();
  icon_.ShowBalloon(L"Rerevure - School Network ON",
                    L"Your Now On Your School Network,\r\nSchool Proxy Enabled.", 3000);

  ASSERT_EQ(tray_.Messages(), (std::vector<std::uint32_t>{kNimAdd, kNimModify}));
  const platform::NotifyIconRecord& sent = tray_.Calls()[1].record;
  EXPECT_EQ(sent.uTimeout, 3000u);
  EXPECT_EQ(sent.dwInfoFlags, 1u);
  EXPECT_EQ(sent.szInfoTitle, Field(L"Rerevure - School Network ON", 64));
  EXPECT_EQ(sent.szInfo, Field(L"Your Now On Your School Network,\r\nSchool Proxy Enabled.", 256));
  // Everything else is the record as it was added.
  platform::NotifyIconRecord rest = sent;
  rest.uTimeout = before.uTimeout;
  rest.dwInfoFlags = before.dwInfoFlags;
  rest.szInfoTitle = before.szInfoTitle;
  rest.szInfo = before.szInfo;
  EXPECT_EQ(rest, before);
  EXPECT_EQ(tray_.Icon(kWindow, 1), sent);
}

TEST_F(TrayIconTest, LaterBalloonLeavesNothingOfAnEarlierLongerOne) {
  AddLoadedIcon();
  icon_.ShowBalloon(L"A much longer first title", L"A much longer first text", 100000);
  icon_.ShowBalloon(L"T2", L"X", 3000);
  EXPECT_EQ(icon_.Record().szInfoTitle, Field(L"T2", 64));
  EXPECT_EQ(icon_.Record().szInfo, Field(L"X", 256));
  EXPECT_EQ(icon_.Record().uTimeout, 3000u);
}

TEST_F(TrayIconTest, WarningBalloonCarriesTheWarningIcon) {
  AddLoadedIcon();
  icon_.ShowWarningBalloon(L"Rerevure - Home Network ON", L"School Proxy could not be disabled.",
                           3000);
  EXPECT_EQ(tray_.Calls().back().message, kNimModify);
  EXPECT_EQ(tray_.Calls().back().record.dwInfoFlags, 2u);
  // The next ordinary balloon has the information icon again.
  icon_.ShowBalloon(L"t", L"x", 3000);
  EXPECT_EQ(tray_.Calls().back().record.dwInfoFlags, 1u);
}

TEST_F(TrayIconTest, TextsTooLongForAFieldAreCutSoTheNulFits) {
  AddLoadedIcon();
  icon_.ShowBalloon(std::wstring(70, L't'), std::wstring(300, L'x'), 3000);
  EXPECT_EQ(icon_.Record().szInfoTitle, std::wstring(63, L't') + L'\0');
  EXPECT_EQ(icon_.Record().szInfo, std::wstring(255, L'x') + L'\0');
}

TEST_F(TrayIconTest, RemovePassesTheRecordWithTheLastBalloon) {
  AddLoadedIcon();
  icon_.ShowBalloon(L"Rerevure v1.6", L"About", 100000);
  icon_.RemoveIcon();
  ASSERT_EQ(tray_.Calls().back().message, kNimDelete);
  EXPECT_EQ(tray_.Calls().back().record, icon_.Record());
  EXPECT_EQ(icon_.Record().szInfo, Field(L"About", 256));
  EXPECT_EQ(tray_.IconCount(), 0u);
}

TEST_F(TrayIconTest, AddingAgainAfterExplorerRestartDoesNotRepeatTheLastBalloon) {
  AddLoadedIcon();
  icon_.ShowBalloon(L"Rerevure v1.6", L"About", 100000);
  tray_.Restart();
  icon_.AddIconAgain();
  EXPECT_TRUE(tray_.HasIcon(kWindow, 1));
  EXPECT_EQ(tray_.Calls().back().message, kNimAdd);
  EXPECT_EQ(tray_.Calls().back().record.uFlags, 0x07u);
  // The kept record is unchanged: later balloons still show.
  EXPECT_EQ(icon_.Record().uFlags, 0x17u);
}

}  // namespace
}  // namespace rerevure::shell
