// Both windows as a keyboard user meets them: keys injected as hardware input
// go through the program's own message loop and the dialog manager, and the
// focus is read from outside with GetGUIThreadInfo. Before each key the test
// waits until the keyboard (the foreground thread's focus) is at the control
// the key is meant for, and stays there. One program start per window; each
// case walks its steps in order.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Desktop.h"
#include "Keyboard.h"
#include "ProgramFixture.h"
#include "RunningProgram.h"

namespace rerevure::e2e {
namespace {

// An ordinary window of another program (the test's own), placed over the
// main window, for it to lose the focus to.
class OtherWindow {
 public:
  explicit OtherWindow(const RECT& over) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"RerevureE2eOtherWindow";
    RegisterClassW(&window_class);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExW(0, window_class.lpszClassName, L"Another program",
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, over.left - 20, over.top - 20,
                            over.right - over.left + 40, over.bottom - over.top + 40, nullptr,
                            nullptr, window_class.hInstance, nullptr);
  }
  ~OtherWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
  }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND Hwnd() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// A tray click, as the shell reports it to the icon's window.
void ClickTrayIcons() {
  for (HWND icon : TrayIconWindows()) PostMessageW(icon, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
}

class MainWindowKeyboardTest : public ProgramFixture {};

TEST_F(MainWindowKeyboardTest, TabEnterEscAccessKeysAndTheFocusBehaveAsTheLayoutSays) {
  RunningProgram program;
  const HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(IconAdded());
  const HWND on = FindDescendant(main, L"School Proxy &ON");
  const HWND off = FindDescendant(main, L"School Proxy &OFF");
  const HWND exit = FindDescendant(main, L"&Exit");
  const HWND minimize = FindDescendant(main, L"&Minimize");
  const HWND shared = FindDescendant(main, L"Shared Drives");
  ASSERT_TRUE(on && off && exit && minimize && shared);
  ASSERT_TRUE(BringToForeground(main));

  // First shown: the focus is on the school switch.
  EXPECT_TRUE(KeyboardAt(on));

  // Tab walks the TabIndex order, into the frame and back out of it.
  const struct {
    HWND control;
    const char* name;
  } tab_order[] = {{off, "School Proxy &OFF"},
                   {exit, "&Exit"},
                   {minimize, "&Minimize"},
                   {shared, "Shared Drives"},
                   {on, "School Proxy &ON"}};
  for (const auto& step : tab_order) {
    PressKey(VK_TAB);
    EXPECT_TRUE(KeyboardAt(step.control)) << "Tab should reach " << step.name;
  }
  PressKey(VK_TAB, false, true);
  EXPECT_TRUE(KeyboardAt(shared)) << "Shift+Tab goes back";
  PressKey(VK_TAB);
  ASSERT_TRUE(KeyboardAt(on));

  // Esc does nothing; the Tab after it shows that it was handled by then.
  PressKey(VK_ESCAPE);
  PressKey(VK_TAB);
  EXPECT_TRUE(KeyboardAt(off));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_TRUE(program.MessageBoxes().empty());
  EXPECT_EQ(program.WaitForWindow(kSettingsCaption, 0ms), nullptr);
  PressKey(VK_TAB, false, true);
  ASSERT_TRUE(KeyboardAt(on));

  // Enter presses the focused button and no other: the school switch asks.
  PressKey(VK_RETURN);
  HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(RunningProgram::MessageBoxText(box), L"School Proxy Enabled.");
  EXPECT_EQ(ReadDword(kInternetSettings, L"ProxyEnable"), 1u);
  ASSERT_TRUE(RunningProgram::Answer(box, IDOK));
  EXPECT_TRUE(WaitUntil([] { return ScriptAsRun() == kExpectedScript; }));
  EXPECT_TRUE(program.MessageBoxes().empty()) << "one switch, one box";
  // Back from the box, the focus is where it was (in the program's thread:
  // the script's commands may have the keyboard in windows of their own).
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == on; }, 3s));
  // The script's console takes the foreground while it runs and leaves none
  // when it closes: the keyboard goes back to the main window after that.
  WaitForTheScript();
  ASSERT_TRUE(BringToForeground(main));
  ASSERT_TRUE(KeyboardAt(on));

  // Enter on "&Minimize" hides the window; shown again from the tray, the
  // window keeps the focus on the control that had it.
  for (HWND next : {off, exit, minimize}) {
    PressKey(VK_TAB);
    ASSERT_TRUE(KeyboardAt(next));
  }
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  EXPECT_TRUE(program.MessageBoxes().empty());
  ClickTrayIcons();
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }, 3s))
      << "tray activity activates the window";
  EXPECT_TRUE(KeyboardAt(minimize));

  // Another window takes the focus: the main window stays above it, and
  // when the user comes back the focus is where it was.
  PressKey(VK_TAB);
  ASSERT_TRUE(KeyboardAt(shared));
  {
    RECT main_rect{};
    GetWindowRect(main, &main_rect);
    OtherWindow other(main_rect);
    ASSERT_NE(other.Hwnd(), nullptr);
    ASSERT_TRUE(BringToForeground(other.Hwnd()));
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) != shared; }, 3s))
        << "the main window lost the focus";
    EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsAbove(main, other.Hwnd()));
    EXPECT_FALSE(GetWindowLongW(other.Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  }
  ASSERT_TRUE(BringToForeground(main));
  EXPECT_TRUE(KeyboardAt(shared));

  // Access keys press their buttons wherever the focus is: Alt+M hides...
  PressKey('M', true);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));
  EXPECT_EQ(program.WaitForWindow(kSettingsCaption, 0ms), nullptr) << "not Shared Drives";
  ClickTrayIcons();
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  ASSERT_TRUE(BringToForeground(main));

  // ...and Alt+E ends the program, its icon gone with it.
  PressKey('E', true);
  EXPECT_TRUE(program.WaitForExit());
  EXPECT_TRUE(IconGone());
}

// The seven fields from top to bottom: Text1 to Text7.
std::vector<HWND> FieldsTopToBottom(HWND settings) {
  std::vector<HWND> fields = Descendants(settings, L"Edit");
  std::sort(fields.begin(), fields.end(),
            [](HWND a, HWND b) { return RectIn(a, nullptr).top < RectIn(b, nullptr).top; });
  return fields;
}

class SettingsWindowKeyboardTest : public ProgramFixture {};

TEST_F(SettingsWindowKeyboardTest, TabEnterEscAndAccessKeysThroughTheProgramsOwnLoop) {
  RunningProgram program;
  const HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(BringToForeground(main));
  // "Shared Drives" by keyboard: one step back from the school switch.
  ASSERT_TRUE(KeyboardAt(FindDescendant(main, L"School Proxy &ON")));
  PressKey(VK_TAB, false, true);
  ASSERT_TRUE(KeyboardAt(FindDescendant(main, L"Shared Drives")));
  PressKey(VK_RETURN);

  const HWND settings = program.WaitForWindow(kSettingsCaption);
  ASSERT_NE(settings, nullptr);
  const std::vector<HWND> text = FieldsTopToBottom(settings);
  ASSERT_EQ(text.size(), 7u);
  const HWND save = FindDescendant(settings, L"&Save Settings");
  const HWND close = FindDescendant(settings, L"&Close");
  const HWND help = FindDescendant(settings, L"&Help");
  ASSERT_TRUE(save && close && help);
  ASSERT_TRUE(BringToForeground(settings));
  EXPECT_TRUE(KeyboardAt(text[0])) << "first shown: the focus is in Text1";

  // The whole Tab cycle: from Text3 to the Save and Close buttons, then on.
  const HWND tab_order[] = {text[1], text[2], save,    close,   text[3],
                            text[4], help,    text[5], text[6], text[0]};
  for (size_t i = 0; i < std::size(tab_order); ++i) {
    PressKey(VK_TAB);
    EXPECT_TRUE(KeyboardAt(tab_order[i])) << "Tab number " << i + 1;
  }
  ASSERT_EQ(FocusOf(settings), text[0]);

  // Typing replaces the field's text (Tab selected it all); Enter in the
  // field saves nothing and Esc does not close the window. The Tab after
  // them shows they were handled by then.
  const std::wstring typed = L"\\\\srv\\typed";
  TypeText(typed);
  ASSERT_TRUE(WaitUntil([&] { return WindowText(text[0]) == typed; }));
  PressKey(VK_RETURN);
  PressKey(VK_ESCAPE);
  PressKey(VK_TAB);
  EXPECT_TRUE(KeyboardAt(text[1]));
  EXPECT_TRUE(IsWindowVisible(settings));
  EXPECT_TRUE(program.MessageBoxes().empty()) << "no \"Settings Saved!\"";
  EXPECT_EQ(ReadString(kSettingsKey, L"UserArea"), L"\\\\srv\\home");
  EXPECT_EQ(WindowText(text[0]), typed);

  // Alt+S does save, from wherever the focus is.
  PressKey('S', true);
  HWND box = program.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(RunningProgram::MessageBoxText(box), L"Settings Saved!");
  ASSERT_TRUE(RunningProgram::Answer(box, IDOK));
  EXPECT_EQ(ReadString(kSettingsKey, L"UserArea"), typed);

  // Alt+C closes (hides) it; the main window stays.
  ASSERT_TRUE(BringToForeground(settings));
  PressKey('C', true);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(settings); }));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_TRUE(program.Running());
}

}  // namespace
}  // namespace rerevure::e2e
