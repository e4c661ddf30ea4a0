#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "OrdinaryDriveScript.h"
#include "support/CallJournal.h"
#include "support/FakeAutomationShell.h"
#include "support/FakeCommandInterpreter.h"
#include "support/FakeFolderIdentity.h"
#include "support/FakeInternetOptions.h"
#include "support/FakeNotifier.h"
#include "support/FakePause.h"
#include "support/FakeRandomSource.h"
#include "support/FakeSettingsSource.h"
#include "support/FakeTextCodec.h"
#include "support/FakeTextFiles.h"
#include "switching/ProfileSwitch.h"

namespace rerevure::switching {
namespace {

using testing::CallJournal;
using testing::FakeAutomationShell;
using testing::FakeCommandInterpreter;
using testing::FakeFolderIdentity;
using testing::FakeInternetOptions;
using testing::FakeNotifier;
using testing::FakePause;
using testing::FakeRandomSource;
using testing::FakeSettingsSource;
using testing::FakeTextCodec;
using testing::FakeTextFiles;
using Entries = std::vector<std::wstring>;
using namespace std::chrono_literals;
using namespace std::string_literals;

const std::wstring kPath = L"C:\\Progra~1\\Rerevure\\MapDrives.bat";
const std::wstring kSchoolBalloon =
    L"ShowBalloon Rerevure - School Network ON | Your Now On Your School Network,\r\n"
    L"School Proxy Enabled. | 3000";
const std::wstring kHomeBalloon =
    L"ShowBalloon Rerevure - Home Network ON | Your Now On Your Home Network,\r\n"
    L"School Proxy Disabled. | 3000";
const std::wstring kNotMapped = L"The network drives could not be mapped because ";
const std::wstring kNotWritten =
    kNotMapped +
    L"the script file \"C:\\Progra~1\\Rerevure\\MapDrives.bat\" could not be written: ";

const Entries kProxyCalls = {L"SetPerConnectionOptions", L"Notify 39", L"Notify 37"};

const Entries kScriptCalls = OrdinaryDriveScriptJournal(kPath);

Entries Join(std::initializer_list<Entries> parts) {
  Entries all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Entries ShellRun(const std::wstring& command) {
  return {L"Create wscript.shell", L"Run " + command, L"Release"};
}

// The script held, then the interpreter, without AutoRun and delayed
// expansion, started on it; it ends with success whatever net reported.
Entries ScriptStart(const std::wstring& path) {
  return {L"Hold " + path, L"Start \"C:\\Windows\\system32\\cmd.exe\" /d /v:off /s /c \"\"" + path +
                               L"\" & exit 0\""};
}
const Entries kScriptStart = ScriptStart(kPath);

// The policy the school switch reads, as the test sets it.
struct FakeSchoolProxySource final : SchoolProxySource {
  SchoolProxyPolicy Read() override { return failure ? throw *failure : policy; }
  SchoolProxyPolicy policy;
  std::optional<platform::PlatformError> failure;
};

class ProfileSwitchTest : public ::testing::Test {
 protected:
  ProfileSwitchTest() {
    internet.journal = shells.journal = files.journal = notifier.journal = settings.journal =
        interpreter.journal = pause.journal = &journal;
  }

  void School(Feedback feedback) { EnterSchoolProfile(platform, feedback, notifier, settings); }
  void Home(Feedback feedback) { EnterHomeProfile(platform, feedback, notifier); }

  CallJournal journal;
  FakeInternetOptions internet;
  FakeAutomationShell shells;
  FakeTextFiles files{L"C:\\Progra~1\\Rerevure"};
  FakeTextCodec codec;
  FakeNotifier notifier;
  FakeSettingsSource settings{OrdinaryDriveValues()};
  FakeFolderIdentity folders;
  FakeCommandInterpreter interpreter;
  FakePause pause;
  FakeRandomSource random;
  ScriptRun script_run{files, pause};
  FakeSchoolProxySource school_proxy;
  ProfilePlatform platform{internet,    shells, files,      codec,       folders,
                           interpreter, random, script_run, school_proxy};
};

TEST_F(ProfileSwitchTest, SchoolWithAMessageBox) {
  School(Feedback::MessageBox);

  EXPECT_EQ(
      journal.entries,
      Join({kProxyCalls, {L"ShowMessage School Proxy Enabled."}, kScriptCalls, kScriptStart}));
  EXPECT_TRUE(internet.ProxyEnabled());
  EXPECT_EQ(internet.proxy_server, std::string("172.27.2.251:8080", 18));
  EXPECT_EQ(internet.lists.at(0).connection, std::string(1, '\0'));
  EXPECT_EQ(shells.Alive(), 0);
}

TEST_F(ProfileSwitchTest, SchoolWithABalloon) {
  School(Feedback::Balloon);
  EXPECT_EQ(journal.entries, Join({kProxyCalls, {kSchoolBalloon}, kScriptCalls, kScriptStart}));
}

TEST_F(ProfileSwitchTest, HomeWithAMessageBox) {
  files.files[kPath] = "earlier script\r\n";
  Home(Feedback::MessageBox);

  EXPECT_EQ(
      journal.entries,
      Join({kProxyCalls, {L"ShowMessage School Proxy Disabled."}, ShellRun(L"net use * /d /y")}));
  EXPECT_FALSE(internet.ProxyEnabled());
  EXPECT_EQ(files.files.at(kPath), "earlier script\r\n");  // left in place
  EXPECT_TRUE(settings.reads.empty());
}

TEST_F(ProfileSwitchTest, HomeWithABalloon) {
  Home(Feedback::Balloon);
  EXPECT_EQ(journal.entries, Join({kProxyCalls, {kHomeBalloon}, ShellRun(L"net use * /d /y")}));
}

TEST_F(ProfileSwitchTest, NothingOfTheScriptIsTouchedWhileTheSchoolFeedbackIsShown) {
  files.files[kPath] = "earlier script\r\n";
  for (Feedback feedback : {Feedback::MessageBox, Feedback::Balloon}) {
    int shown = 0;
    notifier.while_shown = [&](const FakeNotifier::Call&) {
      ++shown;
      EXPECT_EQ(files.files.at(kPath), "earlier script\r\n");
      EXPECT_EQ(files.creations, 0);
      EXPECT_TRUE(settings.reads.empty());
    };
    School(feedback);
    interpreter.End();
    EXPECT_EQ(shown, 1);
    files.files[kPath] = "earlier script\r\n";
    files.creations = 0;
    settings.reads.clear();
  }
}

TEST_F(ProfileSwitchTest, ARefusedProxyChangeIsToldAsAWarningAndTheSwitchGoesOn) {
  internet.accept = false;

  School(Feedback::MessageBox);
  interpreter.End();
  School(Feedback::Balloon);
  Home(Feedback::MessageBox);
  Home(Feedback::Balloon);

  using Kind = FakeNotifier::Kind;
  EXPECT_EQ(notifier.calls,
            (std::vector<FakeNotifier::Call>{
                {Kind::WarningMessage, L"", L"School Proxy could not be enabled.", 0},
                {Kind::WarningBalloon, L"Rerevure - School Network ON",
                 L"School Proxy could not be enabled.", 3000},
                {Kind::WarningMessage, L"", L"School Proxy could not be disabled.", 0},
                {Kind::WarningBalloon, L"Rerevure - Home Network ON",
                 L"School Proxy could not be disabled.", 3000},
            }));
  EXPECT_EQ(interpreter.starts.size(), 2u);
  EXPECT_EQ(shells.runs, (std::vector<std::wstring>{L"net use * /d /y", L"net use * /d /y"}));
  EXPECT_EQ(internet.notifications.size(), 8u);
}

// The school's own proxy gets the usual texts; a policy that cannot be set
// whole leaves the proxy as it was, says why, and the drives are mapped.
TEST_F(ProfileSwitchTest, APolicyProxyIsSetAsTheBuiltInOneAndABadOneIsNotSetAtAll) {
  school_proxy.policy.proxy_server = L"p.school:81";
  School(Feedback::MessageBox);
  EXPECT_EQ(internet.proxy_server, "p.school:81\0"s);
  school_proxy.policy.auto_config_url = L"wpad.school/p.pac";
  interpreter.End();
  School(Feedback::MessageBox);
  school_proxy.failure = platform::PlatformError(5, L"the policy value ProxyServer was not read");
  interpreter.End();
  School(Feedback::MessageBox);

  const std::wstring left = L"School Proxy could not be enabled, the proxy was left as it is: ";
  using Kind = FakeNotifier::Kind;
  EXPECT_EQ(
      notifier.calls,
      (std::vector<FakeNotifier::Call>{
          {Kind::Message, L"", L"School Proxy Enabled.", 0},
          {Kind::WarningMessage, L"",
           left + L"the policy value AutoConfigURL is not an http:// or https:// address.", 0},
          {Kind::WarningMessage, L"", left + L"the policy value ProxyServer was not read", 0},
      }));
  EXPECT_EQ(internet.lists.size(), 1u);
  EXPECT_EQ(interpreter.starts.size(), 3u);
}

TEST_F(ProfileSwitchTest, AFailingFeedbackOrReadIsSkippedInTheSchoolSwitch) {
  notifier.while_shown = [](const FakeNotifier::Call&) {
    throw platform::PlatformError(-2147467259, L"Unspecified error");
  };
  settings.Fail(L"StaffShare", 13, L"Type mismatch");

  EXPECT_NO_THROW(School(Feedback::MessageBox));

  const std::string& script = files.files.at(kPath);
  EXPECT_EQ(script.find("net use j:"), std::string::npos);
  EXPECT_NE(script.find("net use k: \\\\srv02\\media\r\n"), std::string::npos);
  EXPECT_EQ(interpreter.starts.size(), 1u);
  // A skipped read is silent: the one call is the (failed) feedback.
  EXPECT_EQ(notifier.calls.size(), 1u);
}

TEST_F(ProfileSwitchTest, AScriptThatCannotBeStartedIsToldAsDrivesNotMapped) {
  interpreter.start_failure =
      platform::PlatformError(2, L"The system cannot find the file specified.");
  EXPECT_NO_THROW(School(Feedback::MessageBox));

  EXPECT_EQ(journal.entries.back(),
            L"ShowWarningMessage " + kNotMapped +
                L"the script file \"C:\\Progra~1\\Rerevure\\MapDrives.bat\" could not be started: "
                L"The system cannot find the file specified.");
  EXPECT_EQ(notifier.calls.size(), 2u);
  EXPECT_FALSE(files.Exists(kPath));  // the password does not stay behind
  EXPECT_FALSE(script_run.Running());
}

TEST_F(ProfileSwitchTest, TheScriptIsHeldWhileTheInterpreterRunsAndDeletedOnceItEnded) {
  School(Feedback::Balloon);
  EXPECT_TRUE(files.IsHeld(kPath));
  EXPECT_EQ(interpreter.Kept(), 1);
  // Nothing removes it meanwhile: not the program's own leftover removal,
  // not anybody else.
  script_run.RemoveLeftover();
  EXPECT_THROW(files.Remove(kPath), platform::PlatformError);
  EXPECT_TRUE(files.Exists(kPath));

  journal.entries.clear();
  interpreter.End();
  EXPECT_EQ(journal.entries, (Entries{L"Ended", L"Release " + kPath, L"Remove " + kPath}));
  EXPECT_FALSE(files.Exists(kPath));
  EXPECT_EQ(interpreter.Kept(), 0);
}

TEST_F(ProfileSwitchTest, ASwitchWhileTheScriptRunsEndsThatRunThenWritesAndStartsItsOwn) {
  School(Feedback::MessageBox);  // its interpreter waits on a prompt
  internet.lists.clear();
  journal.entries.clear();

  School(Feedback::Balloon);
  EXPECT_EQ(journal.entries,
            Join({kProxyCalls,
                  {kSchoolBalloon, L"Terminate", L"Release " + kPath, L"Remove " + kPath},
                  kScriptCalls,
                  kScriptStart}));
  EXPECT_EQ(interpreter.Running(), 1);
  EXPECT_EQ(notifier.calls.size(), 2u);  // the two switches' feedback, no warning
}

// A way out of the program while a value is read (a failed read's box): the
// script written meanwhile is deleted and never run. (One while the feedback
// waits is the main window's test.)
TEST_F(ProfileSwitchTest, OnceTheProgramEndsTheSchoolSwitchStartsNoScript) {
  bool closing = false;  // once: closing removes the leftover again
  files.after_remove = [&] {
    if (!std::exchange(closing, true)) script_run.Close(0ms);
  };
  School(Feedback::MessageBox);
  files.after_remove = nullptr;
  EXPECT_EQ(files.creations, 1);
  EXPECT_FALSE(files.Exists(kPath));
  EXPECT_TRUE(interpreter.starts.empty());
  EXPECT_EQ(notifier.calls.size(), 1u);  // the box, no warning
}

TEST_F(ProfileSwitchTest, HomeEndsASchoolRunThatStillGoesBeforeRemovingTheMappings) {
  School(Feedback::MessageBox);  // its interpreter waits on a prompt
  journal.entries.clear();

  Home(Feedback::Balloon);
  EXPECT_EQ(journal.entries,
            Join({kProxyCalls,
                  {kHomeBalloon, L"Terminate", L"Release " + kPath, L"Remove " + kPath},
                  ShellRun(L"net use * /d /y")}));
  EXPECT_EQ(interpreter.Running(), 0);
  EXPECT_FALSE(files.Exists(kPath));
}

TEST_F(ProfileSwitchTest, EndingARunWaitsEndsItThenDeletesTheScriptTryingAgainForASecond) {
  struct Case {
    const char* name;
    std::chrono::milliseconds grace;
    bool ends_while_waited;
    int failed_removes;
    Entries expected;
  };
  const std::wstring release = L"Release " + kPath, remove = L"Remove " + kPath;
  const std::vector<Case> cases = {
      {"ends within the grace", 2000ms, true, 0, {L"Wait 2000", release, remove}},
      {"still running after it", 2000ms, false, 0, {L"Wait 2000", L"Terminate", release, remove}},
      {"no grace", 0ms, true, 0, {L"Terminate", release, remove}},
      {"a scanner holds the script a moment",
       0ms,
       false,
       2,
       {L"Terminate", release, remove, L"Pause 250", remove, L"Pause 250", remove}},
      {"it never lets go",
       0ms,
       false,
       99,
       {L"Terminate", release, remove, L"Pause 250", remove, L"Pause 250", remove, L"Pause 250",
        remove, L"Pause 250", remove}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    School(Feedback::Balloon);
    interpreter.ends_while_waited = c.ends_while_waited;
    if (c.failed_removes > 0) files.FailRemove(kPath, 32, L"The file is in use.");
    int pauses = 0;
    pause.during = [&] {
      if (++pauses == c.failed_removes) files.StopFailingRemove(kPath);
    };
    journal.entries.clear();

    script_run.End(c.grace);

    EXPECT_EQ(journal.entries, c.expected);
    EXPECT_EQ(interpreter.Running(), 0);
    EXPECT_FALSE(script_run.Running());
    EXPECT_EQ(files.Exists(kPath), c.failed_removes > 4);
    files.StopFailingRemove(kPath);
    files.files.erase(kPath);  // left to the next start
  }
  EXPECT_EQ(pause.total, 6 * 250ms);
}

TEST_F(ProfileSwitchTest, AnUnopenableScriptStillReadsTheValuesRunsNothingAndWarnsOnce) {
  files = FakeTextFiles{};  // the script folder is missing
  files.journal = &journal;

  School(Feedback::MessageBox);

  EXPECT_EQ(settings.reads.size(), 7u);
  EXPECT_TRUE(interpreter.starts.empty());
  EXPECT_EQ(journal.entries.back(),
            L"ShowWarningMessage " + kNotWritten + L"The system cannot find the path specified.");
  ASSERT_EQ(notifier.calls.size(), 2u);
  EXPECT_EQ(notifier.calls[0].text, L"School Proxy Enabled.");
}

TEST_F(ProfileSwitchTest, AScriptFolderThatIsNotTheProgramsOwnIsNeitherWrittenNorRun) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::wstring reason;
  };
  const std::wstring checked =
      L"the script folder \"C:\\Progra~1\\Rerevure\" could not be checked: ";
  const std::vector<Case> cases = {
      {"a folder of that name made by a user",
       [&] {
         folders.folders[L"C:\\Progra~1\\Rerevure"] = {0x1234ABCD, 77};
       },
       L"the script folder \"C:\\Progra~1\\Rerevure\" is not the folder "
       L"\"C:\\Program Files\\Rerevure\"."},
      {"the same index on another volume",
       [&] {
         folders.folders[L"C:\\Progra~1\\Rerevure"] = {0x0BAD0BAD, 42};
       },
       L"the script folder \"C:\\Progra~1\\Rerevure\" is not the folder "
       L"\"C:\\Program Files\\Rerevure\"."},
      {"no script folder (copied without an installer)",
       [&] { folders.folders.erase(L"C:\\Progra~1\\Rerevure"); },
       L"the script folder \"C:\\Progra~1\\Rerevure\" does not exist. Installing Rerevure "
       L"with its setup program or MSI creates it."},
      {"no program folder", [&] { folders.folders.erase(L"C:\\Program Files\\Rerevure"); },
       checked + L"The system cannot find the file specified."},
      {"no Program Files folder known",
       [&] {
         folders.program_files_failure =
             platform::PlatformError(203, L"The system could not find the environment option.");
       },
       checked + L"The system could not find the environment option."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folders = FakeFolderIdentity{};
    notifier.calls.clear();
    c.arrange();

    School(Feedback::MessageBox);

    EXPECT_EQ(files.creations + files.removals, 0);
    EXPECT_TRUE(interpreter.starts.empty());
    ASSERT_EQ(notifier.calls.size(), 2u);
    EXPECT_EQ(notifier.calls[1].kind, FakeNotifier::Kind::WarningMessage);
    EXPECT_EQ(notifier.calls[1].text, kNotMapped + c.reason);
  }
  // The program's folder reached by either name: written and run.
  folders = FakeFolderIdentity{};
  folders.program_files = L"D:\\Apps";
  folders.folders = {{L"D:\\Apps\\Rerevure", {9, 1}}, {L"C:\\Progra~1\\Rerevure", {9, 1}}};
  School(Feedback::MessageBox);
  EXPECT_EQ(interpreter.starts.size(), 1u);
}

TEST_F(ProfileSwitchTest, TheDrivesWarningComesAsABalloonFromTheTray) {
  files.FailWrite(kPath, 112, L"There is not enough space on the disk.");
  School(Feedback::Balloon);

  ASSERT_EQ(notifier.calls.size(), 2u);
  EXPECT_EQ(notifier.calls[1],
            (FakeNotifier::Call{FakeNotifier::Kind::WarningBalloon, L"Rerevure - School Network ON",
                                kNotWritten + L"There is not enough space on the disk.", 3000}));
}

// Another account's leftover, or a file a pupil planted: only its owner may
// delete it.
TEST_F(ProfileSwitchTest, AScriptThisUserCannotRemoveStaysUntouchedAndTheRunGoesBesideIt) {
  const std::string others = "net use h: \\\\srv01\\home$\\other /USER:other secret\r\n";
  files.files[kPath] = others;
  files.FailRemove(kPath, 5, L"Access is denied.");
  const std::wstring own =
      L"C:\\Progra~1\\Rerevure\\MapDrives-000102030405060708090a0b0c0d0e0f.bat";

  School(Feedback::Balloon);

  Entries written = OrdinaryDriveScriptJournal(own);
  written.front() = L"Remove " + kPath;  // the one call that reaches the other file
  EXPECT_EQ(journal.entries, Join({kProxyCalls, {kSchoolBalloon}, written, ScriptStart(own)}));
  EXPECT_EQ(files.files.at(kPath), others);
  EXPECT_EQ(notifier.calls.size(), 1u);  // no warning: the drives are mapped

  // Deleted like any run's; the next switch's name is a new one.
  interpreter.End();
  EXPECT_FALSE(files.Exists(own));
  School(Feedback::Balloon);
  EXPECT_NE(interpreter.starts.back().command_line.find(L"MapDrives-101112"), std::wstring::npos);
}

TEST_F(ProfileSwitchTest, AFilePlantedBetweenRemovalAndCreationIsNeitherWrittenNorRun) {
  const std::string planted = "echo planted\r\n";
  files.after_remove = [&] { files.files[kPath] = planted; };

  School(Feedback::MessageBox);

  EXPECT_EQ(files.files.at(kPath), planted);  // no password went into it
  EXPECT_TRUE(interpreter.starts.empty());
  ASSERT_EQ(notifier.calls.size(), 2u);
  EXPECT_EQ(notifier.calls[1].text, kNotWritten + L"The file exists.");

  // Gone again when the create has failed, and back before the interpreter
  // would open it: a failed create never runs anything.
  files.after_failed_create = [&] { files.files.erase(kPath); };
  School(Feedback::MessageBox);
  EXPECT_TRUE(interpreter.starts.empty());
  EXPECT_EQ(notifier.calls.back().text, kNotWritten + L"The file exists.");
}

TEST_F(ProfileSwitchTest, SwitchingToSchoolTwiceRewritesTheScriptFromScratch) {
  School(Feedback::MessageBox);
  interpreter.End();
  settings.values.SchoolShare = L"\\\\srv09\\new";
  School(Feedback::Balloon);

  const std::string& script = files.files.at(kPath);
  EXPECT_EQ(std::count(script.begin(), script.end(), '\n'), 11);
  EXPECT_NE(script.find("net use i: \\\\srv09\\new\r\n"), std::string::npos);
  EXPECT_EQ(interpreter.starts.size(), 2u);
}

TEST_F(ProfileSwitchTest, HomeFailuresGoToTheCallerWithNumberAndDescription) {
  shells.FailCreate(-2147221005, L"Invalid class string");
  try {
    Home(Feedback::MessageBox);
    ADD_FAILURE() << "no failure reached the caller";
  } catch (const platform::PlatformError& e) {
    EXPECT_EQ(e.Number(), -2147221005);
    EXPECT_EQ(e.Description(), L"Invalid class string");
  }
  // The proxy was changed and the user told before the failure.
  EXPECT_EQ(notifier.calls.size(), 1u);

  shells.ClearFailures();
  shells.FailRun(-2147024891, L"Access is denied.");
  try {
    Home(Feedback::Balloon);
    ADD_FAILURE() << "no failure reached the caller";
  } catch (const platform::PlatformError& e) {
    EXPECT_EQ(e.Number(), -2147024891);
    EXPECT_EQ(e.Description(), L"Access is denied.");
  }
  EXPECT_EQ(shells.Alive(), 0);  // released on the way out
}

}  // namespace
}  // namespace rerevure::switching
