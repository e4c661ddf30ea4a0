// The program's windows, tray icon and ways out, with the real logic of all
// three subsystems over fakes of the platform.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "platform/NotifyIconRecord.h"
#include "settings/SchoolProxyPolicyReader.h"
#include "shell/MainWindowLayout.h"
#include "shell/Program.h"
#include "shell/ShellTexts.h"
#include "shell/StartUp.h"
#include "support/CallJournal.h"
#include "support/FakeApplication.h"
#include "support/FakeAutomationShell.h"
#include "support/FakeCommandInterpreter.h"
#include "support/FakeDomainMembership.h"
#include "support/FakeErrorReport.h"
#include "support/FakeFolderIdentity.h"
#include "support/FakeForm.h"
#include "support/FakeInternetOptions.h"
#include "support/FakeNetworkList.h"
#include "support/FakePause.h"
#include "support/FakePolicyValues.h"
#include "support/FakeProcesses.h"
#include "support/FakeRandomSource.h"
#include "support/FakeTextCodec.h"
#include "support/FakeTextFiles.h"
#include "support/FakeTimer.h"
#include "support/FakeTray.h"

namespace rerevure::shell {
namespace {

using ::testing::ElementsAre;
using testing::FakeForm;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

const std::wstring kBalloonTipsPath =
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\"
    L"EnableBalloonTips";
const std::wstring kScriptPath = L"C:\\Progra~1\\Rerevure\\MapDrives.bat";
const std::wstring kSettingsCaption = L"Rerevure Map Drive Settings";
const std::wstring kMainCaption = L"Viriru Proxy Switcher v1.6";

std::wstring FieldOf(const std::wstring& text, std::size_t length) {
  return platform::FixedTextField(text, length);
}

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    forms_.errors = &errors_;
    shells_.Set(L"HKEY_CURRENT_USER\\Software\\Rerevure\\UserArea", L"\\\\srv\\home");
  }

  void Start(std::span<const Request> requests = {}) {
    program_.emplace(ProgramPlatform{
        .shell = {forms_, tray_, shells_, processes_, application_, timers_},
        .profiles = {internet_, shells_, files_, codec_, folders_, interpreter_, random_,
                     script_run_, school_proxy_},
        .errors = errors_,
        .networks = networks_,
        .policies = policies_,
        .domain = domain_,
    });
    program_->Start(requests);
  }

  // As the running program takes a later start's requests, then carries them out.
  void HandOver(const std::wstring& text) {
    program_->TakeHandedOver(text);
    program_->PerformQueued();
  }

  FakeForm& Main() { return *forms_.Find(kMainCaption); }
  FakeForm* Settings() { return forms_.Find(kSettingsCaption); }
  bool IconShown() { return tray_.HasIcon(Main().handle, 1); }
  const platform::NotifyIconRecord& LastSent() { return tray_.Calls().back().record; }

  testing::CallJournal journal_;
  testing::FakeFormFactory forms_;
  testing::FakeTray tray_;
  testing::FakeAutomationShell shells_;
  testing::FakeProcesses processes_;
  testing::FakeApplication application_;
  testing::FakeTimerFactory timers_;
  testing::FakeInternetOptions internet_;
  testing::FakeTextFiles files_{L"C:\\Progra~1\\Rerevure"};
  testing::FakeTextCodec codec_;
  testing::FakeFolderIdentity folders_;
  testing::FakeCommandInterpreter interpreter_;
  testing::FakePause pause_;
  testing::FakeRandomSource random_;
  switching::ScriptRun script_run_{files_, pause_};
  testing::FakeErrorReport errors_;
  testing::FakeNetworkList networks_;
  testing::FakePolicyValues policies_;
  settings::SchoolProxyPolicyReader school_proxy_{policies_};
  testing::FakeDomainMembership domain_;
  std::optional<Program> program_;
};

// --- start ---------------------------------------------------------------------

TEST_F(ProgramTest, StartEnablesBalloonsMakesTopmostAddsTheIconThenShows) {
  forms_.journal = &journal_;
  shells_.journal = &journal_;
  tray_.journal = &journal_;
  Start();
  EXPECT_THAT(
      journal_.entries,
      ElementsAre(L"Create " + kMainCaption, L"Create WScript.Shell",
                  L"RegWrite " + kBalloonTipsPath + L" = 1 (REG_DWORD)", L"Release",
                  L"MakeTopmost " + kMainCaption, L"Tray add", L"Show " + kMainCaption,
                  // Whether to switch by itself: off unless the school turned it on.
                  L"Create WScript.Shell",
                  L"RegRead HKEY_CURRENT_USER\\Software\\Rerevure\\AutoSwitch", L"Release"));
  // The settings window exists only as an object: not loaded until used.
  EXPECT_EQ(Settings(), nullptr);
  EXPECT_EQ(forms_.created, 1);
  EXPECT_TRUE(Main().visible);
  // The icon belongs to the main window and shows its icon.
  ASSERT_TRUE(IconShown());
  EXPECT_EQ(tray_.Icon(Main().handle, 1).hIcon, Main().icon);
  EXPECT_NE(Main().icon, 0u);
  EXPECT_THAT(errors_.reports, IsEmpty());
}

TEST_F(ProgramTest, StartGoesOnWhenBalloonTipsCannotBeWritten) {
  shells_.FailWrite(kBalloonTipsPath, -2147024891, L"Access is denied.");
  Start();
  EXPECT_TRUE(Main().visible);
  EXPECT_TRUE(IconShown());
  EXPECT_THAT(errors_.reports, IsEmpty());
}

TEST_F(ProgramTest, StartGoesOnWhenTheShellObjectCannotBeMade) {
  shells_.FailCreate(-2147221005, L"Invalid class string");
  Start();
  EXPECT_TRUE(Main().visible);
  EXPECT_TRUE(IconShown());
  EXPECT_THAT(errors_.reports, IsEmpty());
}

TEST_F(ProgramTest, AStartStepThatFailsBeforeTheLoopIsReportedAndTheLoopNeverRuns) {
  bool looped = false;
  auto loop = [&] { return looped = true, 0; };
  // The first step (COM, on Windows) fails before any window exists.
  auto com_fails = [] { throw platform::PlatformError(-2147467259, L"Unspecified error"); };
  EXPECT_EQ(StartThenRun(errors_, com_fails, loop), kStartFailed);
  EXPECT_FALSE(looped);
  EXPECT_THAT(errors_.reports,
              ElementsAre(testing::FakeErrorReport::Entry{-2147467259, L"Unspecified error"}));

  // A clean start runs the loop and ends with its code.
  EXPECT_EQ(StartThenRun(
                errors_, [&] { Start(); }, [] { return 7; }),
            7);
  EXPECT_TRUE(Main().visible);
  EXPECT_EQ(errors_.reports.size(), 1u);
}

// --- buttons -------------------------------------------------------------------

TEST_F(ProgramTest, SchoolButtonAnswersWithABoxAndLoadsTheSettingsHidden) {
  Start();
  Main().Click(kCommand1);
  EXPECT_THAT(Main().messages,
              ElementsAre(FakeForm::Message{L"School Proxy Enabled.", L"Rerevure", 0x1}));
  EXPECT_TRUE(internet_.ProxyEnabled());
  ASSERT_NE(Settings(), nullptr);
  EXPECT_FALSE(Settings()->visible);
  EXPECT_NE(files_.files[kScriptPath].find("net use h: \\\\srv\\home"), std::string::npos);
  ASSERT_EQ(interpreter_.starts.size(), 1u);
  EXPECT_THAT(interpreter_.starts[0].command_line, HasSubstr(kScriptPath));
  // The buttons never use the tray.
  EXPECT_THAT(tray_.Messages(), ElementsAre(platform::kNimAdd));
}

TEST_F(ProgramTest, HomeButtonAnswersWithABoxAndRemovesTheMappings) {
  Start();
  Main().Click(kCommand1);
  Main().Click(kCommand2);
  EXPECT_EQ(Main().messages.back(),
            (FakeForm::Message{L"School Proxy Disabled.", L"Rerevure", 0x1}));
  EXPECT_FALSE(internet_.ProxyEnabled());
  EXPECT_EQ(shells_.runs.back(), L"net use * /d /y");
  EXPECT_THAT(tray_.Messages(), ElementsAre(platform::kNimAdd));
}

TEST_F(ProgramTest, RefusedProxyChangeIsAWarningBoxWithOkOnly) {
  internet_.accept = false;
  Start();
  Main().Click(kCommand1);
  EXPECT_EQ(Main().messages.front(),
            (FakeForm::Message{L"School Proxy could not be enabled.", L"Rerevure", 0x30}));
}

TEST_F(ProgramTest, MinimizeHidesAndSharedDrivesShowsTheLoadedSettings) {
  Start();
  Main().Click(kCommand1);  // loads the settings window hidden
  shells_.Set(L"HKEY_CURRENT_USER\\Software\\Rerevure\\UserArea", L"\\\\other\\share");
  Main().Click(kCommand5);
  ASSERT_NE(Settings(), nullptr);
  EXPECT_TRUE(Settings()->visible);
  // Already loaded: the fields are not read again.
  bool has_first_value = false;
  for (const auto& [id, text] : Settings()->texts) has_first_value |= text == L"\\\\srv\\home";
  EXPECT_TRUE(has_first_value);

  Main().Click(kCommand4);
  EXPECT_FALSE(Main().visible);
  EXPECT_TRUE(IconShown());
  EXPECT_FALSE(application_.Ended());
}

TEST_F(ProgramTest, FocusLostMakesTheWindowTopmostAgain) {
  Start();
  const int before = Main().topmost_calls;
  Main().LoseFocus();
  EXPECT_EQ(Main().topmost_calls, before + 1);
}

// --- the frame's web page ---------------------------------------------------------

TEST_F(ProgramTest, FrameDoubleClickStartsTheBrowserMinimised) {
  Start();
  Main().DoubleClick(kFrame1);
  EXPECT_THAT(processes_.started, ElementsAre(testing::FakeProcesses::Started{
                                      L"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" " +
                                          std::wstring(kOrganisationWebAddress),
                                      2, false}));
  Main().DoubleClick(kCommand1);  // only the frame opens the page
  EXPECT_EQ(processes_.started.size(), 1u);
}

TEST_F(ProgramTest, MissingBrowserFallsBackToTheDefaultOneAndFailuresAreIgnored) {
  Start();
  processes_.fail_start = true;
  Main().DoubleClick(kFrame1);
  EXPECT_THAT(processes_.started, ElementsAre(testing::FakeProcesses::Started{
                                      std::wstring(kOrganisationWebAddress), 2, true}));
  processes_.fail_browser = true;
  Main().DoubleClick(kFrame1);
  EXPECT_THAT(errors_.reports, IsEmpty());
  EXPECT_FALSE(application_.Ended());
}

// --- tray and menu ------------------------------------------------------------------

TEST_F(ProgramTest, MouseStatesPickTheAction) {
  Start();
  Main().Click(kCommand4);
  for (int state : {0, 3, 4, 5}) Main().MouseMove(state);
  EXPECT_FALSE(Main().visible);
  EXPECT_THAT(Main().popups, IsEmpty());

  // A tray notification (state 1) shows and activates the window.
  Main().MouseMove(1);
  EXPECT_TRUE(Main().visible);
  EXPECT_EQ(Main().activate_calls, 1);

  // A right-button move pops up the menu, its four items in order.
  Main().MouseMove(2);
  ASSERT_EQ(Main().popups.size(), 1u);
  EXPECT_THAT(
      Main().popups[0],
      ElementsAre(FakeForm::MenuItem{kMnuSchoolNetwork, L"School Network"},
                  FakeForm::MenuItem{kMnuHomeNetwork, L"Home Network"},
                  FakeForm::MenuItem{kMnuAbout, L"About"}, FakeForm::MenuItem{kMnuExit, L"Exit"}));
}

TEST_F(ProgramTest, MenuSwitchesAnswerWithBalloonsNotBoxes) {
  Start();
  Main().Click(kMnuSchoolNetwork);
  EXPECT_EQ(tray_.Calls().back().message, platform::kNimModify);
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - School Network ON", 64));
  EXPECT_EQ(LastSent().szInfo,
            FieldOf(L"Your Now On Your School Network,\r\nSchool Proxy Enabled.", 256));
  EXPECT_EQ(LastSent().uTimeout, 3000u);
  EXPECT_EQ(LastSent().dwInfoFlags, 1u);
  ASSERT_EQ(interpreter_.starts.size(), 1u);
  EXPECT_THAT(interpreter_.starts[0].command_line, HasSubstr(kScriptPath));

  Main().Click(kMnuHomeNetwork);
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - Home Network ON", 64));
  EXPECT_EQ(LastSent().szInfo,
            FieldOf(L"Your Now On Your Home Network,\r\nSchool Proxy Disabled.", 256));
  EXPECT_EQ(shells_.runs.back(), L"net use * /d /y");
  EXPECT_THAT(Main().messages, IsEmpty());
}

TEST_F(ProgramTest, RefusedProxyChangeFromTheMenuIsAWarningBalloon) {
  internet_.accept = false;
  Start();
  Main().Click(kMnuHomeNetwork);
  EXPECT_EQ(LastSent().dwInfoFlags, 2u);
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - Home Network ON", 64));
  EXPECT_EQ(LastSent().szInfo, FieldOf(L"School Proxy could not be disabled.", 256));
}

TEST_F(ProgramTest, AboutShowsItsBalloonForAHundredSeconds) {
  Start();
  Main().Click(kMnuAbout);
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure v1.6", 64));
  EXPECT_EQ(LastSent().szInfo, FieldOf(L"Thanks for using this application!,\r\n"
                                       L"Rerevure has been created by ZUV Orarevirado.\r\n" +
                                           std::wstring(kOrganisationWebAddress),
                                       256));
  EXPECT_EQ(LastSent().uTimeout, 100000u);
  // The whole text fits the field with its NUL: nothing was cut.
  EXPECT_LT(AboutText().size(), platform::kInfoLength);
}

TEST_F(ProgramTest, TaskbarCreatedAddsTheIconAgain) {
  Start();
  tray_.Restart();  // Explorer restarted: the new taskbar has no icons
  Main().TaskbarCreated();
  EXPECT_TRUE(IconShown());
}

// --- requests of the command line and of later starts --------------------------------

TEST_F(ProgramTest, AStartForAScriptSwitchesWithABalloonAndStaysHidden) {
  const Request requests[] = {Request::School};
  Start(requests);
  EXPECT_FALSE(Main().visible);
  EXPECT_TRUE(IconShown());
  ASSERT_EQ(interpreter_.starts.size(), 1u);
  EXPECT_THAT(interpreter_.starts[0].command_line, HasSubstr(kScriptPath));
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - School Network ON", 64));
  EXPECT_THAT(Main().messages, IsEmpty());
  // Started again after an update as at logon: never switching once more.
  EXPECT_EQ(application_.restart_arguments, L"");
}

// Hidden without an icon in the tray, the program could not be reached at all.
TEST_F(ProgramTest, AStartForAScriptIsShownWhileItsIconIsNotInTheTray) {
  tray_.failing_adds = 1;
  const Request requests[] = {Request::Home};
  Start(requests);
  EXPECT_TRUE(Main().visible);
}

TEST_F(ProgramTest, HandedOverRequestsAreCarriedOutInOrderAsTheTrayWould) {
  Start();
  Main().Click(kCommand4);
  HandOver(L"/home /show");
  EXPECT_EQ(shells_.runs.back(), L"net use * /d /y");
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - Home Network ON", 64));
  EXPECT_TRUE(Main().visible);
  EXPECT_THAT(Main().messages, IsEmpty());

  // /exit ends as the Exit item does; nothing after it runs.
  HandOver(L"/exit /school");
  EXPECT_EQ(tray_.IconCount(), 0u);
  EXPECT_EQ(application_.end_calls, 1);
  EXPECT_THAT(interpreter_.starts, IsEmpty());
}

TEST_F(ProgramTest, ARequestArrivingWhileAButtonsBoxIsOpenWaitsForTheButtonsSwitch) {
  Start();
  Main().while_message_open = [&](const FakeForm::Message&) {
    HandOver(L"/home");
    EXPECT_THAT(shells_.runs, IsEmpty());  // nothing of home yet
  };
  Main().Click(kCommand1);
  // The school switch wrote and started its script, then home undid it.
  EXPECT_EQ(interpreter_.starts.size(), 1u);
  EXPECT_THAT(shells_.runs, ElementsAre(L"net use * /d /y"));
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - Home Network ON", 64));
}

TEST_F(ProgramTest, AFailingRequestIsToldByBalloonAndTheNextOneRuns) {
  const std::wstring not_found = L"The system cannot find the file specified.";
  Start();
  shells_.FailRun(-2147024894, not_found);
  Main().Click(kCommand4);
  HandOver(L"/home /show");
  EXPECT_THAT(errors_.reports, IsEmpty());
  EXPECT_EQ(LastSent().dwInfoFlags, 2u);
  EXPECT_EQ(LastSent().szInfo, FieldOf(ErrorReportText(-2147024894, not_found), 256));
  EXPECT_TRUE(Main().visible);
}

// A logon task's /school, or switching by itself: nobody may be there to close a box.
TEST_F(ProgramTest, ASettingAnUnattendedSwitchCannotReadIsToldByBalloon) {
  policies_.FailRead(platform::PolicyScope::Machine, L"StaffShare", 5, L"Access is denied.");
  Start();
  HandOver(L"/school");
  EXPECT_THAT(errors_.reports, IsEmpty());
  EXPECT_EQ(LastSent().dwInfoFlags, 2u);
  EXPECT_EQ(LastSent().szInfo,
            FieldOf(L"The setting \"StaffShare\" under \"HKEY_LOCAL_MACHINE\\Software\\Policies\\"
                    L"Rerevure\" could not be read: Access is denied.",
                    256));
  EXPECT_EQ(interpreter_.starts.size(), 1u);
}

// An add refused (or timed out) while Explorer is busy at logon, with no new
// taskbar to follow: Wine's tray always takes the add, so the fake refuses.
TEST_F(ProgramTest, ARefusedAddIsRetriedAndUntilThenMinimizeLeavesTheWindowShown) {
  tray_.failing_adds = 2;
  Start();
  Main().Click(kCommand4);
  EXPECT_TRUE(Main().visible);
  timers_.Elapse();
  EXPECT_FALSE(IconShown());
  timers_.Elapse();  // the third add goes through
  ASSERT_TRUE(IconShown());
  EXPECT_FALSE(timers_.AnyRunning());
  EXPECT_EQ(tray_.Icon(Main().handle, 1).uFlags & platform::kNifInfo, 0u);  // no stale balloon
  Main().Click(kCommand4);
  EXPECT_FALSE(Main().visible);
}

TEST_F(ProgramTest, AnAddThatTimedOutButArrivedCountsAsInTheTray) {
  tray_.failing_adds = 1;
  tray_.failed_adds_arrive = true;
  Start();
  Main().Click(kCommand4);
  EXPECT_TRUE(Main().visible);
  timers_.Elapse();  // a second add is refused as a duplicate; the icon is there
  EXPECT_FALSE(timers_.AnyRunning());
  Main().Click(kCommand4);
  EXPECT_FALSE(Main().visible);
}

TEST_F(ProgramTest, RetriesStopAtTheirBoundAndANewTaskbarStartsThemAgain) {
  tray_.failing_adds = 1 + TrayPresence::kRetries + 1;
  Start();
  for (int i = 0; i < TrayPresence::kRetries; ++i) timers_.Elapse();
  EXPECT_FALSE(timers_.AnyRunning());
  const std::vector<std::uint32_t> sent = tray_.Messages();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), platform::kNimAdd), 1 + TrayPresence::kRetries);

  Main().TaskbarCreated();  // refused too: retried again
  EXPECT_TRUE(timers_.AnyRunning());
  timers_.Elapse();
  EXPECT_TRUE(IconShown());
  EXPECT_FALSE(timers_.AnyRunning());
  Main().Click(kCommand4);
  EXPECT_FALSE(Main().visible);
}

// --- switching by itself ----------------------------------------------------------------

const std::wstring kAutoSwitchPath = L"HKEY_CURRENT_USER\\Software\\Rerevure\\AutoSwitch";
const std::wstring kSchoolNetworksPath = L"HKEY_CURRENT_USER\\Software\\Rerevure\\SchoolNetworks";
const platform::ConnectedNetwork kHomeWiFi{L"HomeWiFi", false};
const platform::ConnectedNetwork kSchoolDomain{L"school.nz", true, {}, L"{school}"};

class AutoSwitchTest : public ProgramTest {
 protected:
  void SetSchoolProxy() {
    internet_.flags = platform::kProxyTypeDirect | platform::kProxyTypeProxy;
    internet_.proxy_server = std::string("172.27.2.251:8080") + '\0';
  }
  void TurnOn(const std::wstring& school_networks) {
    shells_.Set(kAutoSwitchPath, L"1");
    shells_.Set(kSchoolNetworksPath, school_networks);
  }
};

TEST_F(AutoSwitchTest, OffUnlessTheValueIsOneAndThenNothingAtAllIsAsked) {
  SetSchoolProxy();
  networks_.connected = {kHomeWiFi};
  for (const wchar_t* value : {L"", L"0", L"yes", L"absent"}) {
    if (std::wstring(value) == L"absent")
      shells_.Erase(kAutoSwitchPath);
    else
      shells_.Set(kAutoSwitchPath, value);
    Start();
    EXPECT_EQ(networks_.queries + networks_.watches + internet_.queries, 0);
    EXPECT_THAT(timers_.timers, IsEmpty());
  }
  EXPECT_TRUE(internet_.ProxyEnabled());
  EXPECT_THAT(shells_.runs, IsEmpty());
}

TEST_F(AutoSwitchTest, AwayFromSchoolOnTheSchoolProxyTheFirstQuietLookEntersHomeWithABalloonOnce) {
  TurnOn(L"Schule-WLAN");
  SetSchoolProxy();
  networks_.connected = {kHomeWiFi};
  Start();
  // A logon may still be bringing networks up: the first look waits for quiet too.
  EXPECT_EQ(networks_.queries, 0);
  timers_.Elapse();
  EXPECT_FALSE(internet_.ProxyEnabled());
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - Home Network ON", 64));
  EXPECT_THAT(shells_.runs, ElementsAre(L"net use * /d /y"));
  EXPECT_THAT(Main().messages, IsEmpty());

  // Set as the place calls for: later looks change nothing.
  networks_.Change();
  timers_.Elapse();
  EXPECT_THAT(shells_.runs, ElementsAre(L"net use * /d /y"));
}

TEST_F(AutoSwitchTest, ABurstOfChangesLeadsToOneLookOnceQuiet) {
  TurnOn(L" Staff ;schule-wlan");
  networks_.connected = {kHomeWiFi};
  Start();  // at home with the proxy off: nothing to do
  timers_.Elapse();
  EXPECT_EQ(networks_.queries, 1);
  EXPECT_THAT(shells_.runs, IsEmpty());

  networks_.connected = {{L"SCHULE-WLAN", false}};
  for (int i = 0; i < 5; ++i) networks_.Change();
  EXPECT_EQ(networks_.queries, 1);
  ASSERT_FALSE(timers_.timers.empty());
  EXPECT_EQ(timers_.timers[0]->interval, kQuietPeriod);
  timers_.Elapse();
  EXPECT_EQ(networks_.queries, 2);
  EXPECT_FALSE(timers_.AnyRunning());  // until the next change
  EXPECT_TRUE(internet_.ProxyEnabled());
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - School Network ON", 64));
  ASSERT_EQ(interpreter_.starts.size(), 1u);
  EXPECT_THAT(interpreter_.starts[0].command_line, HasSubstr(kScriptPath));
  EXPECT_THAT(Main().messages, IsEmpty());

  // An adapter that flaps is never quiet for long: the look comes all the same.
  networks_.connected = {kHomeWiFi};
  for (int i = 0; i < 7; ++i) {
    networks_.Change();
    timers_.Advance(kQuietPeriod * 3 / 4);
  }
  EXPECT_EQ(networks_.queries, 3);
}

TEST_F(AutoSwitchTest, AUserSwitchWinsUntilTheSetOfNetworksChanges) {
  TurnOn(L"");
  for (int user_switch : {kCommand2, kMnuHomeNetwork}) {
    SCOPED_TRACE(user_switch);
    SetSchoolProxy();
    networks_.connected = {kSchoolDomain};
    Start();
    networks_.Change();         // a look is due...
    Main().Click(user_switch);  // ...when the user switches home at school
    timers_.Elapse();
    EXPECT_FALSE(internet_.ProxyEnabled());
    // Windows' internet probe or a signal change: the same network, changed.
    // Sleep and wake, or a Wi-Fi drop: nothing, then the network identified
    // again. A virtual adapter that comes up is no network to tell by.
    const platform::ConnectedNetwork identifying{L"Identifying...", false,
                                                 platform::Identification::Identifying, L"{new}"};
    const platform::ConnectedNetwork virtual_adapter{
        L"vEthernet", false, platform::Identification::Unidentified, L"{wsl}"};
    for (const auto& now :
         {networks_.connected, {}, {identifying}, {kSchoolDomain, virtual_adapter}}) {
      networks_.connected = now;
      networks_.Change();
      timers_.Elapse();
      EXPECT_FALSE(internet_.ProxyEnabled());
    }

    // Another network comes up: a new set of networks ends the user's switch.
    const std::size_t scripts_before = interpreter_.starts.size();
    networks_.connected.push_back({L"Phone", false, {}, L"{phone}"});
    networks_.Change();
    timers_.Elapse();
    EXPECT_TRUE(internet_.ProxyEnabled());
    EXPECT_EQ(interpreter_.starts.size(), scripts_before + 1);
    interpreter_.End();  // the script has finished before the next round
  }
}

// Some VPN and virtual adapters stay "Identifying..." for good.
TEST_F(AutoSwitchTest, ANetworkIdentifyingForAMinuteNoLongerHoldsBackElsewhere) {
  TurnOn(L"");
  SetSchoolProxy();
  networks_.connected = {kHomeWiFi,
                         {L"VPN", false, platform::Identification::Identifying, L"{vpn}"}};
  Start();
  timers_.Advance(kQuietPeriod);
  EXPECT_TRUE(internet_.ProxyEnabled());
  timers_.Advance(kIdentifyingLimit);
  EXPECT_FALSE(internet_.ProxyEnabled());
}

// Proxy settings locked by policy, or kept per machine: Windows refuses.
TEST_F(AutoSwitchTest, AChangeWindowsRefusedIsNotMadeAgainOnTheSameNetworks) {
  TurnOn(L"");
  SetSchoolProxy();
  internet_.accept = false;
  networks_.connected = {kHomeWiFi};
  Start();
  timers_.Elapse();
  networks_.Change();  // Windows' internet probe: the same network
  timers_.Elapse();
  EXPECT_THAT(shells_.runs, ElementsAre(L"net use * /d /y"));
  networks_.connected.push_back({L"Phone", false, {}, L"{phone}"});
  networks_.Change();
  timers_.Elapse();
  EXPECT_EQ(shells_.runs.size(), 2u);
}

// A pupil's own laptop, or one joined only to Microsoft Entra ID.
TEST_F(AutoSwitchTest, OffADomainItActsOnlyWithASchoolNetworkNamed) {
  domain_.joined = false;
  SetSchoolProxy();
  networks_.connected = {kHomeWiFi};
  TurnOn(L" ; ");
  Start();
  timers_.Elapse();
  EXPECT_EQ(networks_.queries, 0);
  TurnOn(L"School-WiFi");
  Start();
  timers_.Elapse();
  EXPECT_FALSE(internet_.ProxyEnabled());
}

TEST_F(AutoSwitchTest, APolicySetsEitherValueOverTheUsersOwn) {
  using platform::PolicyScope;
  TurnOn(L"Other-WLAN");
  networks_.connected = {{L"Schule-WLAN", false}};
  policies_.Set(PolicyScope::Machine, L"AutoSwitch", L"0");
  Start();
  timers_.Elapse();
  EXPECT_EQ(networks_.queries, 0);  // turned off by the computer's policy

  policies_.Remove(PolicyScope::Machine, L"AutoSwitch");
  shells_.Erase(kAutoSwitchPath);
  policies_.Set(PolicyScope::User, L"AutoSwitch", L"1");
  policies_.Set(PolicyScope::User, L"SchoolNetworks", L"schule-wlan");
  Start();
  timers_.Elapse();
  EXPECT_TRUE(internet_.ProxyEnabled());  // at school by the policy's names

  // A value that cannot be read in one place (of another type) is skipped
  // for the next; names read nowhere leave it off, or school is "elsewhere".
  internet_.flags = platform::kProxyTypeDirect;
  interpreter_.End();
  policies_.FailRead(PolicyScope::Machine, L"SchoolNetworks", 1629, L"The data is invalid.");
  Start();
  timers_.Elapse();
  EXPECT_TRUE(internet_.ProxyEnabled());
  policies_.Remove(PolicyScope::User, L"SchoolNetworks");
  shells_.Erase(kSchoolNetworksPath);
  const int queries = networks_.queries;
  Start();
  timers_.Elapse();
  EXPECT_EQ(networks_.queries, queries);
}

// A school with its own proxy: once set, a look finds the school profile on.
TEST_F(AutoSwitchTest, TheSchoolsOwnProxyIsEnteredOnceNotAtEveryLook) {
  TurnOn(L"");
  policies_.Set(platform::PolicyScope::Machine, L"ProxyServer", L"p.school:81");
  networks_.connected = {kSchoolDomain};
  Start();
  timers_.Elapse();
  EXPECT_EQ(internet_.proxy_server, std::string("p.school:81") + '\0');
  interpreter_.End();
  networks_.Change();
  timers_.Elapse();
  EXPECT_EQ(interpreter_.starts.size(), 1u);
}

// A logon script's "/school" handed over while a look is asking Windows:
// the look, about to leave school, leaves it be.
TEST_F(AutoSwitchTest, ASwitchHandedOverDuringALookIsNotUndoneByIt) {
  TurnOn(L"");
  for (bool during_networks : {true, false}) {
    SCOPED_TRACE(during_networks);
    SetSchoolProxy();
    networks_.connected = {kHomeWiFi};
    shells_.runs.clear();
    Start();
    const auto hand_over = [this] {
      const Request school[] = {Request::School};
      HandOver(RequestsText(school));
    };
    (during_networks ? networks_.during_query : internet_.during_query) = hand_over;
    timers_.Elapse();
    EXPECT_TRUE(internet_.ProxyEnabled());
    EXPECT_THAT(shells_.runs, IsEmpty());
    interpreter_.End();
  }
}

TEST_F(AutoSwitchTest, OnceTheLoopHasEndedNothingHandedOverReachesTheProgram) {
  TurnOn(L"");
  networks_.connected = {kHomeWiFi};
  Start();
  program_->Stop();
  HandOver(L"/school /exit");
  networks_.connected = {kSchoolDomain};
  networks_.Change();
  timers_.Elapse();
  EXPECT_FALSE(internet_.ProxyEnabled());
  EXPECT_THAT(interpreter_.starts, IsEmpty());
  EXPECT_EQ(application_.end_calls, 0);
  // Windows' events stop before switching by itself goes.
  program_.reset();
  EXPECT_FALSE(networks_.Watched());
}

// A school's logon script asked for school: the look at start leaves it be.
TEST_F(AutoSwitchTest, ASwitchAskedForOnTheCommandLineIsNotUndone) {
  TurnOn(L"");
  networks_.connected = {kHomeWiFi};
  const Request requests[] = {Request::School};
  Start(requests);
  timers_.Elapse();
  EXPECT_TRUE(internet_.ProxyEnabled());
  EXPECT_THAT(shells_.runs, IsEmpty());
}

TEST_F(AutoSwitchTest, FailuresNobodyClickedForShowNoErrorAndTheProgramGoesOn) {
  TurnOn(L"");
  SetSchoolProxy();
  networks_.connected = {kHomeWiFi};
  shells_.FailRun(-2147024894, L"The system cannot find the file specified.");
  Start();
  timers_.Elapse();  // the home switch cannot start its command: told, not lost
  EXPECT_EQ(LastSent().szInfoTitle, FieldOf(L"Rerevure - Home Network ON", 64));
  EXPECT_EQ(LastSent().dwInfoFlags, 2u);

  networks_.fail = true;  // and the next look cannot read the networks
  networks_.Change();
  timers_.Elapse();
  EXPECT_THAT(errors_.reports, IsEmpty());
  EXPECT_THAT(Main().messages, IsEmpty());
  EXPECT_TRUE(Main().visible);
}

// --- ways out ------------------------------------------------------------------------

class WayOutTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(WayOutTest, RemovesTheIconThenEndsAndNothingRunsAfterwards) {
  Start();
  // A script whose interpreter waits on a prompt; a loaded, hidden settings
  // window does not keep the program alive either.
  Main().Click(kCommand1);
  ASSERT_NE(Settings(), nullptr);
  ASSERT_TRUE(files_.IsHeld(kScriptPath));
  tray_.journal = files_.journal = interpreter_.journal = application_.journal = &journal_;
  const int way = GetParam();
  if (way == 0) Main().Click(kCommand3);
  if (way == 1) Main().Click(kMnuExit);
  if (way == 2) Main().CloseByPlatform();  // also the end of the session
  if (way == 3) HandOver(L"/exit");
  EXPECT_EQ(tray_.IconCount(), 0u);
  EXPECT_EQ(application_.end_calls, 1);
  // First a short wait, then the script's whole run is ended and the script
  // deleted; only then the icon goes (Explorer may be ending too), then the
  // program.
  EXPECT_THAT(journal_.entries, ElementsAre(L"Wait 2000", L"Terminate", L"Release " + kScriptPath,
                                            L"Remove " + kScriptPath, L"Tray delete", L"End"));
  EXPECT_FALSE(files_.Exists(kScriptPath));
  EXPECT_EQ(interpreter_.Running(), 0);

  // Ending is at once: later events of the window do nothing.
  const std::size_t calls = tray_.Calls().size();
  if (way != 2) {  // a platform close unloads the window
    Main().Click(kCommand4);
    Main().MouseMove(2);
    Main().Click(kMnuAbout);
    EXPECT_TRUE(Main().visible);
    EXPECT_THAT(Main().popups, IsEmpty());
  }
  program_.reset();
  EXPECT_EQ(tray_.Calls().size(), calls);
  EXPECT_EQ(application_.end_calls, 1);
}

INSTANTIATE_TEST_SUITE_P(ExitButtonExitMenuPlatformCloseAndExitRequest, WayOutTest,
                         ::testing::Values(0, 1, 2, 3));

// A log-off while "School Proxy Enabled." waits for its answer: the box goes
// with the window, and the switch must not then write the script after the
// program decided to end.
TEST_F(ProgramTest, AWayOutTakenWhileTheSchoolBoxIsOpenLeavesNoScriptWrittenOrStarted) {
  Start();
  Main().while_message_open = [&](const FakeForm::Message&) { Main().CloseByPlatform(); };
  Main().Click(kCommand1);
  EXPECT_EQ(application_.end_calls, 1);
  EXPECT_EQ(files_.creations, 0);
  EXPECT_THAT(interpreter_.starts, IsEmpty());
}

TEST_F(ProgramTest, AScriptLeftFromAnEarlierRunIsRemovedAtStartAndAtExit) {
  const std::wstring unguessable =
      L"C:\\Progra~1\\Rerevure\\MapDrives-00112233445566778899aabbccddeeff.bat";
  const std::wstring lookalike = L"C:\\Progra~1\\Rerevure\\MapDrives-old.bat";
  files_.files[kScriptPath] = "left by a log-off\r\n";
  files_.files[unguessable] = "left by a power cut\r\n";
  files_.files[lookalike] = "not the program's\r\n";
  Start();
  EXPECT_FALSE(files_.Exists(kScriptPath));
  EXPECT_FALSE(files_.Exists(unguessable));
  EXPECT_TRUE(files_.Exists(lookalike));

  files_.files[kScriptPath] = "left by a crash\r\n";
  Main().Click(kCommand3);
  EXPECT_FALSE(files_.Exists(kScriptPath));
}

TEST_F(ProgramTest, ALeftoverThatCannotBeDeletedIsIgnored) {
  files_.files[kScriptPath] = "another user's\r\n";
  files_.FailRemove(kScriptPath, 5, L"Access is denied.");
  Start();
  EXPECT_TRUE(Main().visible);
  Main().Click(kMnuExit);
  EXPECT_EQ(application_.end_calls, 1);
  EXPECT_THAT(errors_.reports, IsEmpty());
  EXPECT_TRUE(files_.Exists(kScriptPath));
}

TEST_F(ProgramTest, ReleasingTheWindowObjectRemovesTheIcon) {
  Start();
  program_.reset();
  EXPECT_EQ(tray_.IconCount(), 0u);
}

// --- the error report -------------------------------------------------------------------

TEST_F(ProgramTest, AFailedHandlerIsReportedAndTheProgramKeepsItsState) {
  Start();
  Main().Click(kCommand5);
  Settings()->Type(Settings()->texts.begin()->first, L"unsaved edit");
  shells_.FailRun(-2147024894, L"The system cannot find the file specified.");

  Main().Click(kCommand2);  // the home switch's Run fails

  EXPECT_THAT(errors_.reports, ElementsAre(testing::FakeErrorReport::Entry{
                                   -2147024894, L"The system cannot find the file specified."}));
  EXPECT_FALSE(application_.Ended());
  EXPECT_TRUE(IconShown());
  EXPECT_TRUE(Main().visible);
  EXPECT_TRUE(Settings()->visible);
  EXPECT_EQ(Settings()->texts.begin()->second, L"unsaved edit");

  // The program goes on answering.
  shells_.ClearFailures();
  Main().Click(kMnuAbout);
  EXPECT_EQ(LastSent().uTimeout, 100000u);
  Main().Click(kCommand2);
  EXPECT_EQ(shells_.runs.back(), L"net use * /d /y");
}

}  // namespace
}  // namespace rerevure::shell
