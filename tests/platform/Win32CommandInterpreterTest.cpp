// The command interpreter the program starts for the drive script.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "platform/win32/Win32CommandInterpreter.h"
#include "support/FakeErrorReport.h"

namespace rerevure::platform {
namespace {

using namespace std::chrono_literals;

// As Windows refuses a job to a process already in one that cannot nest it
// (Windows 7, or a job with UI limits: a program started by Task Scheduler,
// runas or a management agent). Wine nests every job, so it never refuses.
BOOL WINAPI RefusedAsWindowsRefuses(HANDLE, HANDLE) {
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

TEST(Win32CommandInterpreterTest, RefusedItsJobTheInterpreterRunsWithoutOneAndCanStillBeEnded) {
  testing::FakeErrorReport errors;
  Win32CommandInterpreter interpreter(errors, &RefusedAsWindowsRefuses);
  const std::wstring cmd = interpreter.Path();
  const std::wstring program = L"\"" + cmd + L"\" /d /c ";

  const auto finishing = interpreter.StartInSystemFolder(cmd, program + L"exit 0");
  EXPECT_TRUE(finishing->WaitForEnd(30s));

  // A loop that never ends by itself.
  const auto endless =
      interpreter.StartInSystemFolder(cmd, program + L"\"for /l %i in (0,0,1) do @rem\"");
  EXPECT_FALSE(endless->WaitForEnd(0ms));
  endless->Terminate();
  EXPECT_TRUE(endless->WaitForEnd(0ms));
  EXPECT_TRUE(errors.reports.empty());
}

}  // namespace
}  // namespace rerevure::platform
