// A drive script whose net waits for a user name nobody types, as on a laptop
// outside the domain: every way out of the program ends its run and deletes
// it. Wine's own net never asks, so the stand-in net is told to wait.

#include <gtest/gtest.h>

#include "Desktop.h"
#include "ProgramFixture.h"
#include "RunningProgram.h"

namespace rerevure::e2e {
namespace {

enum class WayOut { ExitButton, ExitRequest, EndOfSession };

class StuckScriptTest : public ProgramFixture, public ::testing::WithParamInterface<WayOut> {};

TEST_P(StuckScriptTest, TheWayOutEndsTheRunAndDeletesTheScript) {
  NetWaitsAtDriveI(true);
  RunningProgram program;
  NetWaitsAtDriveI(false);
  ASSERT_NE(program.Main(), nullptr);
  ASSERT_TRUE(IconAdded());
  ASSERT_TRUE(SwitchToSchoolUntilStuck(program));
  ASSERT_TRUE(ReadFileBytes(kScript).has_value());

  switch (GetParam()) {
    case WayOut::ExitButton:
      program.Click(L"&Exit");
      break;
    case WayOut::ExitRequest: {
      RunningProgram exit(L"/exit", RunningProgram::Expect::Ends);
      EXPECT_TRUE(exit.WaitForExit(15s));
      break;
    }
    case WayOut::EndOfSession: {
      // What Windows sends at a log-off; the program must be done before it
      // answers the second, after which Windows may end it at any moment.
      DWORD_PTR result = 0;
      SendMessageTimeoutW(program.Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                          5000, &result);
      EXPECT_TRUE(SendMessageTimeoutW(program.Main(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF,
                                      SMTO_NORMAL, 10000, &result));
      EXPECT_FALSE(ReadFileBytes(kScript).has_value());
      break;
    }
  }
  EXPECT_TRUE(program.WaitForExit());
  EXPECT_FALSE(ReadFileBytes(kScript).has_value());
  // The whole run went with it: the waiting net and its interpreter.
  EXPECT_TRUE(WaitUntil([] { return !ProcessRunning(L"net.exe") && !ProcessRunning(L"cmd.exe"); }));
  EXPECT_EQ(NetArguments().size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(ExitButtonExitRequestAndEndOfSession, StuckScriptTest,
                         ::testing::Values(WayOut::ExitButton, WayOut::ExitRequest,
                                           WayOut::EndOfSession));

}  // namespace
}  // namespace rerevure::e2e
