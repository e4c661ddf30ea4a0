// The window machinery on a small window of its own, under Wine: events,
// dialog keys, focus, stacking and unloading, driven by input and messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <stdexcept>
#include <thread>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Form.h"
#include "platform/win32/Win32Timer.h"
#include "support/FakeErrorReport.h"

namespace rerevure::platform {
namespace {

using ::testing::ElementsAre;
using testing::win32::ClassName;
using testing::win32::PressKey;
using testing::win32::PumpFor;
using testing::win32::PumpUntil;
using testing::win32::RectIn;
using testing::win32::WindowText;

constexpr int kLeft = 11, kRight = 12, kFrame = 20, kField = 21, kMasked = 22, kInner = 23,
              kLabel = 24;
constexpr int kMenuFirst = 31, kMenuSecond = 32;

constexpr FontSpec kCaptionFont{L"Arial", 825, 700, true};

// Two buttons over a frame (as the main window has), and inside the frame a
// label, a field, a masked field and a button, listed out of order.
std::array<ControlLayout, 7> Controls() {
  std::array<ControlLayout, 7> controls{
      MakeControl(kLabel, ControlKind::Label, kFrame, L"A && B", 120, 360, 1500, 255, 1),
      MakeControl(kInner, ControlKind::Button, kFrame, L"&Inner", 120, 1320, 975, 375, 5),
      MakeControl(kField, ControlKind::TextBox, kFrame, L"", 1560, 360, 1500, 285, 3),
      MakeControl(kMasked, ControlKind::TextBox, kFrame, L"", 1560, 840, 1500, 285, 4),
      MakeControl(kFrame, ControlKind::Frame, kClientArea, L"Group", 120, 120, 4095, 1815, 2),
      MakeControl(kRight, ControlKind::Button, kClientArea, L"&Right", 2400, 480, 1500, 375, 1),
      MakeControl(kLeft, ControlKind::Button, kClientArea, L"&Left", 600, 480, 1500, 375, 0),
  };
  controls[3].masked = true;
  controls[2].tooltip = L"Tip";
  controls[4].font = &kCaptionFont;
  return controls;
}

class RecordingEvents : public FormEvents {
 public:
  void OnCommand(int id) override {
    commands.push_back(id);
    if (id == throw_on) throw PlatformError(1234, L"handler failed");
  }
  void OnDoubleClick(int id) override { double_clicks.push_back(id); }
  void OnMouseMove(int state) override { mouse_moves.push_back(state); }
  void OnFocusLost() override { ++focus_lost; }
  void OnClose() override { ++closes; }
  void OnTaskbarCreated() override { ++taskbar_created; }

  std::vector<int> commands, double_clicks, mouse_moves;
  int focus_lost = 0, closes = 0, taskbar_created = 0;
  int throw_on = -1;
};

class Win32FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    layout.caption = L"Machinery";
    layout.border = Border::FixedSingle;
    layout.control_box = false;
    layout.client_width = 4320;
    layout.client_height = 2055;
    layout.controls = controls;
    form = std::make_unique<Win32Form>(layout, events, errors, 96);
    hwnd = reinterpret_cast<HWND>(form->Handle());
  }
  void TearDown() override { form.reset(); }

  HWND Control(int id) const { return form->ControlHandle(id); }
  void ShowAndWaitForFocus() {
    form->ShowAndActivate();
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() != nullptr; }));
  }

  std::array<ControlLayout, 7> controls = Controls();
  FormLayout layout;
  RecordingEvents events;
  testing::FakeErrorReport errors;
  std::unique_ptr<Win32Form> form;
  HWND hwnd = nullptr;
};

TEST_F(Win32FormTest, IsCreatedHiddenWithItsBorderAndClientArea) {
  EXPECT_TRUE(form->IsLoaded());
  EXPECT_FALSE(form->IsVisible());
  EXPECT_EQ(WindowText(hwnd), L"Machinery");
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_CAPTION);
  EXPECT_FALSE(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, 288);
  EXPECT_EQ(client.bottom, 137);
  EXPECT_EQ(form->IconHandle(), 0u);  // none asked for
}

TEST_F(Win32FormTest, TheApplicationIconComesFromTheProgramFileAtBothSizes) {
  FormLayout with_icon = layout;
  with_icon.application_icon = true;
  RecordingEvents icon_events;
  Win32Form iconic(with_icon, icon_events, errors, 96);
  const HWND window = iconic.ControlHandle(0);
  const auto small = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
  const auto big = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
  ASSERT_NE(small, nullptr);
  ASSERT_NE(big, nullptr);
  EXPECT_EQ(iconic.IconHandle(), reinterpret_cast<std::uintptr_t>(small));
  auto width = [](HICON icon) {
    ICONINFO info{};
    GetIconInfo(icon, &info);
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
  };
  EXPECT_EQ(width(small), GetSystemMetrics(SM_CXSMICON));
  EXPECT_EQ(width(big), GetSystemMetrics(SM_CXICON));
}

TEST_F(Win32FormTest, PlacesControlsInTheirContainersAtTheirPixelRectangles) {
  const RECT frame = RectIn(Control(kFrame), hwnd);
  EXPECT_EQ(frame.left, 8);
  EXPECT_EQ(frame.top, 8);
  EXPECT_EQ(frame.right, 8 + 273);
  EXPECT_EQ(frame.bottom, 8 + 121);
  EXPECT_EQ(GetParent(Control(kInner)), Control(kFrame));
  const RECT inner = RectIn(Control(kInner), hwnd);
  EXPECT_EQ(inner.left, 8 + 8);
  EXPECT_EQ(inner.top, 8 + 88);
  EXPECT_EQ(GetParent(Control(kLeft)), hwnd);
  EXPECT_EQ(ClassName(Control(kFrame)), L"Rerevure.Frame");
  EXPECT_TRUE(GetWindowLongW(Control(kFrame), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
}

TEST_F(Win32FormTest, StacksFocusableControlsByTabIndexAndLabelsBeneath) {
  std::vector<HWND> top_level, in_frame;
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    top_level.push_back(child);
  for (HWND child = GetWindow(Control(kFrame), GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT))
    in_frame.push_back(child);
  EXPECT_THAT(top_level, ElementsAre(Control(kLeft), Control(kRight), Control(kFrame)));
  EXPECT_THAT(in_frame,
              ElementsAre(Control(kField), Control(kMasked), Control(kInner), Control(kLabel)));
}

TEST_F(Win32FormTest, ControlsHaveTheirKindsStylesAndFonts) {
  EXPECT_EQ(ClassName(Control(kLeft)), L"Button");
  EXPECT_EQ(GetWindowLongW(Control(kLeft), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(ClassName(Control(kField)), L"Edit");
  EXPECT_TRUE(GetWindowLongW(Control(kField), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(SendMessageW(Control(kField), EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_EQ(SendMessageW(Control(kMasked), EM_GETPASSWORDCHAR, 0, 0), L'*');
  EXPECT_EQ(ClassName(Control(kLabel)), L"Static");
  EXPECT_EQ(WindowText(Control(kLabel)), L"A && B");

  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HGDIOBJ>(SendMessageW(Control(kFrame), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_STREQ(font.lfFaceName, L"Arial");
  EXPECT_EQ(font.lfHeight, -11);  // 8.25 pt at 96 DPI
  EXPECT_EQ(font.lfWeight, 700);
  EXPECT_TRUE(font.lfItalic);
  EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(SendMessageW(Control(kLeft), WM_GETFONT, 0, 0),
            reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TEST_F(Win32FormTest, FirstShowCentresOnTheScreenAndFocusesTheFirstControl) {
  ShowAndWaitForFocus();
  EXPECT_TRUE(form->IsVisible());
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int screen_height = GetSystemMetrics(SM_CYSCREEN);
  EXPECT_NEAR(window.left + (window.right - window.left) / 2, screen_width / 2, 1);
  EXPECT_NEAR(window.top + (window.bottom - window.top) / 2, screen_height / 2, 1);
  EXPECT_EQ(GetFocus(), Control(kLeft));
}

TEST_F(Win32FormTest, TabWalksTheTabIndexOrderIntoAndOutOfTheFrame) {
  ShowAndWaitForFocus();
  std::vector<HWND> visited{GetFocus()};
  for (int i = 0; i < 5; ++i) {
    PressKey(VK_TAB);
    visited.push_back(GetFocus());
  }
  EXPECT_THAT(visited, ElementsAre(Control(kLeft), Control(kRight), Control(kField),
                                   Control(kMasked), Control(kInner), Control(kLeft)));
  PressKey(VK_TAB, false, true);
  EXPECT_EQ(GetFocus(), Control(kInner));
}

TEST_F(Win32FormTest, ButtonsReportTheirIdsWhereverTheySit) {
  ShowAndWaitForFocus();
  PostMessageW(Control(kRight), BM_CLICK, 0, 0);
  PostMessageW(Control(kInner), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return events.commands.size() == 2; }));
  EXPECT_THAT(events.commands, ElementsAre(kRight, kInner));
}

TEST_F(Win32FormTest, AccessKeysPressTheirButtonsAndLabelsHaveNone) {
  ShowAndWaitForFocus();
  SetFocus(Control(kField));
  PressKey('I', true);
  PressKey('R', true);
  PressKey('B', true);  // the label's "&& B" is no access key
  EXPECT_THAT(events.commands, ElementsAre(kInner, kRight));
}

TEST_F(Win32FormTest, EnterActsOnlyOnAFocusedButtonAndEscNever) {
  ShowAndWaitForFocus();
  SetFocus(Control(kField));
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(events.commands.empty());
  EXPECT_TRUE(form->IsLoaded());
  EXPECT_TRUE(form->IsVisible());

  SetFocus(Control(kRight));  // focused without Tab: not made the default button
  PressKey(VK_RETURN);
  PressKey(VK_TAB);  // now on the field... and back to a button by Tab
  PressKey(VK_TAB, false, true);
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  EXPECT_THAT(events.commands, ElementsAre(kRight, kRight));
}

TEST_F(Win32FormTest, HiddenAndShownAgainKeepsTheFocusedControl) {
  ShowAndWaitForFocus();
  SetFocus(Control(kMasked));
  form->Hide();
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_FALSE(form->IsVisible());
  form->ShowAndActivate();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == Control(kMasked); }));
}

TEST_F(Win32FormTest, DoubleClickOnTheFramesFreeAreaIsReported) {
  ShowAndWaitForFocus();
  RECT frame{};
  GetWindowRect(Control(kFrame), &frame);
  SetCursorPos(frame.right - 10, frame.bottom - 10);
  INPUT clicks[4] = {};
  for (int i = 0; i < 4; ++i) {
    clicks[i].type = INPUT_MOUSE;
    clicks[i].mi.dwFlags = (i % 2 == 0) ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  }
  SendInput(4, clicks, sizeof(INPUT));
  ASSERT_TRUE(PumpUntil([&] { return !events.double_clicks.empty(); }));
  EXPECT_THAT(events.double_clicks, ElementsAre(kFrame));
  EXPECT_TRUE(events.commands.empty());
}

TEST_F(Win32FormTest, MouseMovesReportTheirButtonState) {
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(2, 2));
  SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  SendMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON | MK_MBUTTON | MK_SHIFT, MAKELPARAM(2, 2));
  // A tray notification: the icon id (1) in the first parameter.
  SendMessageW(hwnd, WM_MOUSEMOVE, 1, WM_RBUTTONUP);
  EXPECT_THAT(events.mouse_moves, ElementsAre(2, 0, 5, 1));
}

TEST_F(Win32FormTest, TaskbarCreatedIsReported) {
  SendMessageW(hwnd, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_EQ(events.taskbar_created, 1);
}

TEST_F(Win32FormTest, FocusLostIsReportedOnlyForTheWindowItself) {
  ShowAndWaitForFocus();
  PressKey(VK_TAB);  // from control to control
  EXPECT_EQ(GetFocus(), Control(kRight));
  SetFocus(hwnd);  // the window hands the focus on to its control, as a dialog does
  EXPECT_EQ(IsChild(hwnd, GetFocus()), TRUE);
  EXPECT_EQ(events.focus_lost, 0);
  // Only a window without a focusable control keeps the focus itself; what it
  // is told when the focus then goes elsewhere:
  SendMessageW(hwnd, WM_KILLFOCUS, reinterpret_cast<WPARAM>(GetDesktopWindow()), 0);
  SendMessageW(hwnd, WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(events.focus_lost, 2);
}

TEST_F(Win32FormTest, AWindowWithoutFocusableControlsHoldsTheFocusAndTellsWhenItLosesIt) {
  const std::array<ControlLayout, 1> label_only{MakeControl(
      kLabel, ControlKind::Label, kClientArea, L"Only a label", 120, 120, 1500, 255, 0)};
  FormLayout bare = layout;
  bare.controls = label_only;
  RecordingEvents bare_events;
  auto bare_form = std::make_unique<Win32Form>(bare, bare_events, errors, 96);
  const HWND bare_hwnd = bare_form->ControlHandle(0);
  bare_form->ShowAndActivate();
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == bare_hwnd; }));
  ShowAndWaitForFocus();  // the other window takes the focus
  EXPECT_EQ(bare_events.focus_lost, 1);

  // Released while holding the focus: the owner, which is letting it go,
  // hears nothing more.
  SetForegroundWindow(bare_hwnd);
  SetFocus(bare_hwnd);
  ASSERT_EQ(GetFocus(), bare_hwnd);
  bare_form.reset();
  EXPECT_EQ(bare_events.focus_lost, 1);
  EXPECT_EQ(bare_events.closes, 0);
}

TEST_F(Win32FormTest, APlatformCloseReportsAndUnloads) {
  ShowAndWaitForFocus();
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !form->IsLoaded(); }));
  EXPECT_EQ(events.closes, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_FALSE(form->IsVisible());
  EXPECT_EQ(form->Handle(), 0u);
  form->Show();  // harmless on an unloaded window
  EXPECT_THROW(form->Text(kField), std::exception);
}

TEST_F(Win32FormTest, TheEndOfTheSessionClosesTheWindowButItsQueryDoesNot) {
  EXPECT_EQ(SendMessageW(hwnd, WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageW(hwnd, WM_ENDSESSION, FALSE, 0);  // cancelled
  EXPECT_TRUE(form->IsLoaded());
  SendMessageW(hwnd, WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(events.closes, 1);
  EXPECT_FALSE(form->IsLoaded());
}

TEST_F(Win32FormTest, AHandlersFailureGoesToTheReportAndTheWindowLivesOn) {
  ShowAndWaitForFocus();
  events.throw_on = kLeft;
  PostMessageW(Control(kLeft), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return !errors.reports.empty(); }));
  EXPECT_THAT(errors.reports,
              ElementsAre(testing::FakeErrorReport::Entry{1234, L"handler failed"}));
  PostMessageW(Control(kRight), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return events.commands.size() == 2; }));
  EXPECT_TRUE(form->IsVisible());
}

TEST_F(Win32FormTest, MakeTopmostPutsTheWindowInTheTopmostBand) {
  ShowAndWaitForFocus();
  form->MakeTopmost();
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  RECT before{}, after{};
  GetWindowRect(hwnd, &before);
  form->MakeTopmost();
  GetWindowRect(hwnd, &after);
  EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(Win32FormTest, AWindowMadeTopmostTakesNeitherTheActivationNorTheFocus) {
  ShowAndWaitForFocus();
  const HWND focus = GetFocus();
  RecordingEvents other_events;
  Win32Form other(layout, other_events, errors, 96);
  const HWND other_hwnd = other.ControlHandle(0);
  other.MakeTopmost();  // still hidden, loading
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_FALSE(other.IsVisible());
  EXPECT_TRUE(GetWindowLongW(other_hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetActiveWindow(), hwnd);
  EXPECT_EQ(GetFocus(), focus);

  // Shown, after another window took the focus from it: made topmost again,
  // it must leave the keyboard where the user put it.
  other.ShowAndActivate();
  ASSERT_TRUE(PumpUntil([&] { return GetActiveWindow() == other_hwnd; }));
  const HWND other_focus = GetFocus();
  form->MakeTopmost();
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetActiveWindow(), other_hwnd);
  EXPECT_EQ(GetForegroundWindow(), other_hwnd);
  EXPECT_EQ(GetFocus(), other_focus);
}

TEST_F(Win32FormTest, ATimerTicksThroughTheMessageLoopUntilStopped) {
  int ticks = 0;
  Win32TimerFactory timers(errors);
  const auto timer = timers.Create([&] {
    if (++ticks == 2) throw PlatformError(1234, L"tick failed");
  });
  timer->Start(std::chrono::milliseconds(10));
  ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  // A failing tick is reported like any handler, and the timer goes on.
  EXPECT_THAT(errors.reports, ElementsAre(testing::FakeErrorReport::Entry{1234, L"tick failed"}));
  timer->Stop();
  const int stopped_at = ticks;
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_EQ(ticks, stopped_at);

  // Starting a running timer starts it over: the longer interval puts the
  // next tick off, rather than a second timer ticking beside the first.
  timer->Start(std::chrono::milliseconds(10));
  timer->Start(std::chrono::hours(1));
  PumpFor(std::chrono::milliseconds(100));
  EXPECT_EQ(ticks, stopped_at);
  timer->Start(std::chrono::milliseconds(10));
  EXPECT_TRUE(PumpUntil([&] { return ticks > stopped_at; }));
}

TEST_F(Win32FormTest, TextsAreReadAndWrittenByControlId) {
  form->SetText(kField, L"Jürgen \\\\srv\\share");
  EXPECT_EQ(form->Text(kField), L"Jürgen \\\\srv\\share");
  EXPECT_EQ(WindowText(Control(kField)), L"Jürgen \\\\srv\\share");
  form->SetText(kMasked, L"pa ss");
  EXPECT_EQ(form->Text(kMasked), L"pa ss");
  EXPECT_EQ(form->Text(0), L"Machinery");
  EXPECT_THROW(form->Text(99), std::exception);
}

TEST_F(Win32FormTest, TheChosenPopupMenuItemArrivesAsACommand) {
  ShowAndWaitForFocus();
  RECT window{};
  GetWindowRect(hwnd, &window);
  SetCursorPos(window.left + 20, window.top + 40);
  const std::array<MenuItemLayout, 2> items{{{kMenuFirst, L"First"}, {kMenuSecond, L"Second"}}};
  // The menu is modal: a helper thread picks the second item by keyboard.
  std::thread chooser([] {
    for (int i = 0; i < 200 && FindWindowW(L"#32768", nullptr) == nullptr; ++i) Sleep(10);
    Sleep(100);
    for (WORD key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
      INPUT press[2] = {};
      press[0].type = press[1].type = INPUT_KEYBOARD;
      press[0].ki.wVk = press[1].ki.wVk = key;
      press[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, press, sizeof(INPUT));
      Sleep(50);
    }
  });
  form->PopupMenu(items);
  chooser.join();
  EXPECT_TRUE(events.commands.empty());  // not while the menu was up
  ASSERT_TRUE(PumpUntil([&] { return !events.commands.empty(); }));
  EXPECT_THAT(events.commands, ElementsAre(kMenuSecond));
}

}  // namespace
}  // namespace rerevure::platform
