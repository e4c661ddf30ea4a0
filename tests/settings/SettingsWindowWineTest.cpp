// The real settings window under wine64 and Xvfb, with the real registry
// through WScript.Shell, driven from outside: window messages, keyboard
// input, and a watcher that reads and closes the message boxes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <commctrl.h>
#include <imm.h>

#include <array>
#include <map>
#include <optional>
#include <set>

#include "Win32TestSupport.h"
#include "platform/win32/Win32AutomationShell.h"
#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32Form.h"
#include "platform/win32/Win32PolicyValues.h"
#include "settings/Form2Layout.h"
#include "settings/SettingsWindow.h"
#include "support/FakeErrorReport.h"

namespace rerevure::settings {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::win32::ClassName;
using testing::win32::MessageBoxCloser;
using testing::win32::PressKey;
using testing::win32::PumpFor;
using testing::win32::PumpUntil;
using testing::win32::RectIn;
using testing::win32::WindowText;

constexpr const wchar_t* kKeyPath = L"Software\\Rerevure";
const std::array<const wchar_t*, 7> kNames = {L"UserArea", L"SchoolShare", L"StaffShare", L"Extra1",
                                              L"Extra2",   L"Username",    L"Password"};
const std::array<int, 7> kFields = {form2::Text1, form2::Text2, form2::Text3, form2::Text4,
                                    form2::Text5, form2::Text6, form2::Text7};

const std::wstring kHelpText =
    L"When filling in a text box, enter the path to your shared folder\r\n"
    L"For example \"\\\\172.27.106.2\\MyShare\".\r\n"
    L"\r\n"
    L"You only need to specify a username and password\r\n"
    L"if your not on the domain.";

// The registry itself, not through the program.
std::optional<std::pair<DWORD, std::wstring>> StoredValue(const wchar_t* name) {
  DWORD type = 0, size = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                   &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  RegGetValueW(HKEY_CURRENT_USER, kKeyPath, name, RRF_RT_ANY | RRF_NOEXPAND, &type, text.data(),
               &size);
  text.resize(type == REG_SZ ? wcslen(text.c_str()) : 0);
  return std::make_pair(type, text);
}

void Store(const wchar_t* name, const std::wstring& text) {
  RegSetKeyValueW(HKEY_CURRENT_USER, kKeyPath, name, REG_SZ, text.c_str(),
                  static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class SettingsWindowWineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { com_ = new platform::ComInitializer(); }
  static void TearDownTestSuite() { delete com_; }

  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKeyPath); }

  // The window and its controls, found the way any other program would.
  HWND Form() const { return FindWindowW(L"Rerevure.Form", L"Rerevure Map Drive Settings"); }
  HWND Frame() const { return GetDlgItem(Form(), form2::Frame1); }
  HWND Control(int id) const { return GetDlgItem(Frame(), id); }

  void ShowAndWaitForFocus() {
    window.Show();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() != nullptr; }));
  }
  void Click(int id) {
    PostMessageW(Control(id), BM_CLICK, 0, 0);
    PumpFor(std::chrono::milliseconds(100));
  }

  testing::FakeErrorReport errors;
  platform::Win32FormFactory forms{errors};
  platform::Win32AutomationShellFactory shells;
  platform::Win32PolicyValues policies;
  SettingsWindow window{forms, shells, policies, errors};

 private:
  static platform::ComInitializer* com_;
};

platform::ComInitializer* SettingsWindowWineTest::com_ = nullptr;

struct ExpectedControl {
  int id;
  const wchar_t* class_name;
  const wchar_t* caption;
  RECT rect;  // pixels at 96 DPI, relative to the client area
};

// Worked out by hand from the twips (15 a pixel; the frame adds 8 to Left).
const ExpectedControl kExpected[] = {
    {form2::Label1(0), L"Static", L"User Area:", {40, 24, 113, 41}},
    {form2::Text1, L"Edit", L"", {112, 24, 321, 43}},
    {form2::Label1(1), L"Static", L"Student Share:", {16, 56, 113, 73}},
    {form2::Text2, L"Edit", L"", {112, 56, 321, 75}},
    {form2::Label1(2), L"Static", L"Staff   Share:", {32, 88, 113, 105}},
    {form2::Text3, L"Edit", L"", {112, 88, 321, 107}},
    {form2::Label1(4), L"Static", L"Extra  1:", {56, 120, 113, 137}},
    {form2::Text4, L"Edit", L"", {112, 120, 321, 139}},
    {form2::Label1(5), L"Static", L"Extra  2:", {56, 152, 129, 169}},
    {form2::Text5, L"Edit", L"", {112, 152, 321, 171}},
    {form2::Label1(6), L"Static", L"User  Name:", {32, 184, 113, 201}},
    {form2::Text6, L"Edit", L"", {112, 184, 321, 203}},
    {form2::Label1(7), L"Static", L" Password:", {40, 216, 113, 233}},
    {form2::Text7, L"Edit", L"", {112, 216, 321, 235}},
    {form2::Command3, L"Button", L"&Help", {16, 248, 73, 273}},
    {form2::Command1, L"Button", L"&Save Settings", {96, 248, 241, 273}},
    {form2::Command2, L"Button", L"&Close", {264, 248, 329, 273}},
};

LOGFONTW FontOf(HWND hwnd) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

TEST_F(SettingsWindowWineTest, TheWindowHasItsCaptionBorderClientAreaAndNoIcon) {
  ASSERT_EQ(platform::Win32FormFactory::ScreenDpi(), 96) << "the pixel values assume 96 DPI";
  ShowAndWaitForFocus();
  const HWND form = Form();
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(form, reinterpret_cast<HWND>(window.Window()->Handle()));
  EXPECT_EQ(GetWindow(form, GW_OWNER), nullptr);
  const LONG style = GetWindowLongW(form, GWL_STYLE);
  EXPECT_EQ(style & WS_THICKFRAME, WS_THICKFRAME);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(style & WS_SYSMENU, WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongW(form, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT client{};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, 346);
  EXPECT_EQ(client.bottom, 286);
  EXPECT_EQ(SendMessageW(form, WM_GETICON, ICON_SMALL, 0), 0);
  EXPECT_EQ(SendMessageW(form, WM_GETICON, ICON_BIG, 0), 0);
  RECT outer{};
  GetWindowRect(form, &outer);
  EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(SettingsWindowWineTest, EveryControlHasItsClassCaptionRectangleAndFont) {
  ASSERT_EQ(platform::Win32FormFactory::ScreenDpi(), 96);
  window.Show();
  const HWND form = Form();
  const RECT frame = RectIn(Frame(), form);
  EXPECT_EQ(ClassName(Frame()), L"Rerevure.Frame");
  EXPECT_EQ(WindowText(Frame()), L"");
  EXPECT_EQ(frame.left, 8);
  EXPECT_EQ(frame.top, 0);
  EXPECT_EQ(frame.right, 337);
  EXPECT_EQ(frame.bottom, 281);

  LOGFONTW gui{};
  GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(gui), &gui);
  std::set<HWND> seen;
  for (const ExpectedControl& expected : kExpected) {
    SCOPED_TRACE(expected.id);
    const HWND control = Control(expected.id);
    ASSERT_NE(control, nullptr);
    seen.insert(control);
    EXPECT_EQ(ClassName(control), expected.class_name);
    EXPECT_EQ(WindowText(control), expected.caption);
    const RECT rect = RectIn(control, form);
    EXPECT_EQ(rect.left, expected.rect.left);
    EXPECT_EQ(rect.top, expected.rect.top);
    EXPECT_EQ(rect.right, expected.rect.right);
    EXPECT_EQ(rect.bottom, expected.rect.bottom);
    EXPECT_TRUE(IsWindowVisible(control));
    EXPECT_TRUE(IsWindowEnabled(control));
    const LOGFONTW font = FontOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (ClassName(control) == L"Static") {
      EXPECT_STREQ(font.lfFaceName, L"Georgia");
      EXPECT_EQ(font.lfHeight, -13);  // 9.75 pt at 96 DPI
      EXPECT_EQ(font.lfWeight, FW_NORMAL);
      EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
      EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
      EXPECT_EQ(style & SS_TYPEMASK, SS_LEFTNOWORDWRAP);  // left-aligned, one line
    } else {
      EXPECT_STREQ(font.lfFaceName, gui.lfFaceName);
      EXPECT_EQ(font.lfWeight, gui.lfWeight);
      EXPECT_EQ(font.lfHeight, gui.lfHeight);
    }
    if (ClassName(control) == L"Button") {
      EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);  // never a default button
    }
    if (ClassName(control) == L"Edit") {
      EXPECT_FALSE(style & (ES_MULTILINE | ES_CENTER | ES_RIGHT));
      EXPECT_EQ(SendMessageW(control, EM_GETPASSWORDCHAR, 0, 0),
                expected.id == form2::Text7 ? L'*' : 0);
      EXPECT_GT(SendMessageW(control, EM_GETLIMITTEXT, 0, 0), 0x7FFF0000);  // no limit
    }
  }
  // The input method is off for the password field only.
  const HIMC password_context = ImmGetContext(Control(form2::Text7));
  EXPECT_EQ(password_context, nullptr);
  if (password_context) ImmReleaseContext(Control(form2::Text7), password_context);
  const HIMC field_context = ImmGetContext(Control(form2::Text6));
  EXPECT_NE(field_context, nullptr);
  if (field_context) ImmReleaseContext(Control(form2::Text6), field_context);

  const LOGFONTW frame_font = FontOf(Frame());
  EXPECT_STREQ(frame_font.lfFaceName, gui.lfFaceName);
  // Nothing else in the frame, nothing else on the form.
  int children = 0;
  for (HWND c = GetWindow(Frame(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, 17);
  EXPECT_EQ(GetWindow(Frame(), GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetWindow(form, GW_CHILD), Frame());
}

TEST_F(SettingsWindowWineTest, Label5LiesBeneathText5) {
  window.Show();
  bool text5_first = false;
  for (HWND c = GetWindow(Frame(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (c == Control(form2::Text5)) text5_first = true;
    if (c == Control(form2::Label1(5))) break;
  }
  EXPECT_TRUE(text5_first);
  EXPECT_TRUE(GetWindowLongW(Control(form2::Label1(5)), GWL_STYLE) & WS_CLIPSIBLINGS);
}

BOOL CALLBACK CollectTooltips(HWND hwnd, LPARAM found) {
  if (ClassName(hwnd) == TOOLTIPS_CLASSW)
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
  return TRUE;
}

TEST_F(SettingsWindowWineTest, OnlyTheExtraDriveFieldsHaveTheTooltip) {
  window.Show();
  std::vector<HWND> tooltips;
  EnumThreadWindows(GetCurrentThreadId(), &CollectTooltips, reinterpret_cast<LPARAM>(&tooltips));
  std::map<HWND, std::wstring> tools;
  for (HWND tooltip : tooltips) {
    const LRESULT count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      TTTOOLINFOW tool{};
      tool.cbSize = TTTOOLINFOW_V2_SIZE;
      ASSERT_TRUE(SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)));
      std::wstring text(1024, L'\0');
      tool.lpszText = text.data();
      SendMessageW(tooltip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
      text.resize(wcslen(text.c_str()));
      EXPECT_TRUE(tool.uFlags & TTF_IDISHWND);
      tools[reinterpret_cast<HWND>(tool.uId)] = text;
    }
  }
  const std::map<HWND, std::wstring> expected{
      {Control(form2::Text4), L"This is for an additional shared drive."},
      {Control(form2::Text5), L"This is for an additional shared drive."}};
  EXPECT_EQ(tools, expected);
}

TEST_F(SettingsWindowWineTest, TabWalksTheFieldsAndButtonsInOrderFromText1) {
  ShowAndWaitForFocus();
  std::vector<int> order{GetDlgCtrlID(GetFocus())};
  for (int i = 0; i < 10; ++i) {
    PressKey(VK_TAB);
    order.push_back(GetDlgCtrlID(GetFocus()));
  }
  EXPECT_THAT(order, ElementsAre(form2::Text1, form2::Text2, form2::Text3, form2::Command1,
                                 form2::Command2, form2::Text4, form2::Text5, form2::Command3,
                                 form2::Text6, form2::Text7, form2::Text1));
  PressKey(VK_TAB, false, true);
  EXPECT_EQ(GetFocus(), Control(form2::Text7));
}

TEST_F(SettingsWindowWineTest, EnterAndEscInAFieldDoNothing) {
  MessageBoxCloser boxes;
  ShowAndWaitForFocus();
  SetWindowTextW(Control(form2::Text1), L"\\\\srv\\home");
  for (int id : {form2::Text1, form2::Text7}) {
    SetFocus(Control(id));
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
  }
  PumpFor(std::chrono::milliseconds(300));
  EXPECT_EQ(boxes.Count(), 0u);
  EXPECT_TRUE(IsWindowVisible(Form()));
  EXPECT_FALSE(StoredValue(L"UserArea"));
  EXPECT_EQ(WindowText(Control(form2::Text1)), L"\\\\srv\\home");
}

TEST_F(SettingsWindowWineTest, AltHShowsTheHelpTextByteForByte) {
  MessageBoxCloser boxes;
  ShowAndWaitForFocus();
  PressKey('H', true);
  ASSERT_TRUE(PumpUntil([&] { return boxes.Count() == 1; }));
  EXPECT_THAT(boxes.Boxes(), ElementsAre(MessageBoxCloser::Box{L"Rerevure v1.6", kHelpText}));
  EXPECT_TRUE(IsWindowVisible(Form()));
  EXPECT_FALSE(StoredValue(L"UserArea"));
}

TEST_F(SettingsWindowWineTest, AltCHidesTheWindowAndKeepsItsEdits) {
  ShowAndWaitForFocus();
  SetWindowTextW(Control(form2::Text3), L"\\\\srv\\staff edited");
  PressKey('C', true);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(Form()); }));
  EXPECT_TRUE(window.IsLoaded());
  EXPECT_EQ(window.StaffShare(), L"\\\\srv\\staff edited");
  EXPECT_FALSE(StoredValue(L"StaffShare"));
  window.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form()) != FALSE; }));
  EXPECT_EQ(WindowText(Control(form2::Text3)), L"\\\\srv\\staff edited");
}

TEST_F(SettingsWindowWineTest, SaveRoundTripsAllSevenValuesThroughTheRegistry) {
  const std::array<std::wstring, 7> values = {L"\\\\srv\\home dir\\Jürgen",
                                              L"\\\\srv\\Ελληνικά",
                                              L"  leading and trailing  ",
                                              L"\\\\srv\\%PATH%&^|<>!",
                                              L"\\\\東京\\共有",
                                              L"Zoë Ångström",
                                              L""};  // an empty password
  MessageBoxCloser boxes;
  ShowAndWaitForFocus();
  for (size_t i = 0; i < values.size(); ++i) {
    SendMessageW(Control(kFields[i]), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(values[i].c_str()));
  }
  PressKey('S', true);
  ASSERT_TRUE(PumpUntil([&] { return boxes.Count() == 1; }));
  EXPECT_THAT(boxes.Boxes(), ElementsAre(MessageBoxCloser::Box{L"Rerevure", L"Settings Saved!"}));
  for (size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(kNames[i]);
    const auto stored = StoredValue(kNames[i]);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->first, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored->second, values[i]);
  }
  EXPECT_THAT(errors.reports, IsEmpty());

  // Closed through the title bar and opened again: loaded afresh, the same.
  PostMessageW(Form(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(PumpUntil([&] { return !window.IsLoaded(); }));
  EXPECT_EQ(Form(), nullptr);
  window.Show();
  for (size_t i = 0; i < values.size(); ++i) {
    EXPECT_EQ(WindowText(Control(kFields[i])), values[i]) << kNames[i];
  }
}

TEST_F(SettingsWindowWineTest, TheMaskedFieldShowsStarsButKeepsWhatWasTyped) {
  MessageBoxCloser boxes;
  ShowAndWaitForFocus();
  SetFocus(Control(form2::Text7));
  for (wchar_t ch : std::wstring(L"pä s%")) {
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wScan = keys[1].ki.wScan = ch;
    keys[0].ki.dwFlags = KEYEVENTF_UNICODE;
    keys[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, keys, sizeof(INPUT));
    PumpFor(std::chrono::milliseconds(30));
  }
  ASSERT_TRUE(PumpUntil([&] { return WindowText(Control(form2::Text7)) == L"pä s%"; }));
  EXPECT_EQ(SendMessageW(Control(form2::Text7), EM_GETPASSWORDCHAR, 0, 0), L'*');
  Click(form2::Command1);
  ASSERT_TRUE(PumpUntil([&] { return boxes.Count() == 1; }));
  EXPECT_EQ(StoredValue(L"Password")->second, L"pä s%");
}

TEST_F(SettingsWindowWineTest, MissingValuesLoadAsEmptyFieldsAndOtherTypesAsTheirText) {
  Store(L"SchoolShare", L"\\\\srv\\students");
  const DWORD number = 4096;
  RegSetKeyValueW(HKEY_CURRENT_USER, kKeyPath, L"Extra1", REG_DWORD, &number, sizeof(number));
  ShowAndWaitForFocus();
  EXPECT_THAT(errors.reports, IsEmpty());
  std::vector<std::wstring> texts;
  for (int id : kFields) texts.push_back(WindowText(Control(id)));
  EXPECT_THAT(texts, ElementsAre(L"", L"\\\\srv\\students", L"", L"4096", L"", L"", L""));
  EXPECT_TRUE(IsWindowVisible(Form()));
}

TEST_F(SettingsWindowWineTest, AReadBeforeTheWindowWasOpenedLoadsItHidden) {
  Store(L"UserArea", L"\\\\srv\\home\\ann");
  EXPECT_EQ(window.UserArea(), L"\\\\srv\\home\\ann");
  ASSERT_NE(Form(), nullptr);
  EXPECT_FALSE(IsWindowVisible(Form()));
  EXPECT_TRUE(GetWindowLongW(Form(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Store(L"UserArea", L"\\\\changed\\later");
  window.Show();
  ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(Form()) != FALSE; }));
  EXPECT_EQ(WindowText(Control(form2::Text1)), L"\\\\srv\\home\\ann");
}

TEST_F(SettingsWindowWineTest, ResizingMovesNothing) {
  window.Show();
  const RECT before = RectIn(Control(form2::Command2), Form());
  SetWindowPos(Form(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
  PumpFor(std::chrono::milliseconds(100));
  const RECT after = RectIn(Control(form2::Command2), Form());
  EXPECT_TRUE(EqualRect(&before, &after));
}

}  // namespace
}  // namespace rerevure::settings
