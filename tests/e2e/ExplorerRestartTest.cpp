// A restarted Explorer comes up with an empty notification area and tells
// every top-level window so with the registered "TaskbarCreated" message.
// A hidden program whose icon did not come back could never be reached again.

#include <gtest/gtest.h>
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "Desktop.h"
#include "ProgramFixture.h"
#include "RunningProgram.h"

namespace rerevure::e2e {
namespace {

class ExplorerRestartTest : public ProgramFixture {};

TEST_F(ExplorerRestartTest, AHiddenProgramGetsItsIconBackAndStaysReachable) {
  RunningProgram program;
  const HWND main = program.Main();
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(IconAdded());
  program.Click(L"&Minimize");
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }));

  // The new tray knows no icons: the program's (its window, id 1) is taken
  // away as the old tray went...
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = main;
  icon.uID = 1;
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon)) << "the program's icon is window + id 1";
  ASSERT_TRUE(IconGone());

  // ...and the new one announces itself to every top-level window, hidden
  // ones included.
  const UINT taskbar_created = RegisterWindowMessageW(L"TaskbarCreated");
  ASSERT_NE(taskbar_created, 0u);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(HWND_BROADCAST, taskbar_created, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);

  EXPECT_TRUE(IconAdded());
  EXPECT_EQ(TrayIconWindows().size(), icons_before_ + 1);

  // The icon that came back leads to the window again, and the program is
  // no worse for it.
  for (HWND tray_icon : TrayIconWindows()) {
    PostMessageW(tray_icon, WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
  }
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }));
  EXPECT_TRUE(program.Running());
  program.Click(L"&Exit");
  EXPECT_TRUE(program.WaitForExit());
  EXPECT_TRUE(IconGone());
}

}  // namespace
}  // namespace rerevure::e2e
