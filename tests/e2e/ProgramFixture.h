#pragma once

// The state every end-to-end case starts from, and what the cases share:
// the registry paths and files the program touches, the texts it shows.

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Desktop.h"
#include "RunningProgram.h"

namespace rerevure::e2e {

inline const std::wstring kSettingsKey = L"Software\\Rerevure";
// Group Policy's, in HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER alike.
inline const std::wstring kPolicyKey = L"Software\\Policies\\Rerevure";
inline const std::wstring kInternetSettings =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline const std::wstring kExplorerAdvanced =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline const std::wstring kScriptFolder = L"C:\\Program Files\\Rerevure";
inline const std::wstring kScript = kScriptFolder + L"\\MapDrives.bat";

// The script the program writes from the settings SetUp stores, and the
// arguments its net commands are started with.
extern const std::string kExpectedScript;
extern const std::vector<std::string> kExpectedNet;

inline const std::wstring kSchoolBalloon =
    L"Your Now On Your School Network,\r\nSchool Proxy Enabled.";
inline const std::wstring kHomeBalloon =
    L"Your Now On Your Home Network,\r\nSchool Proxy Disabled.";

// The script as the stand-in net saw it while it ran: the program deletes it
// once the interpreter has ended.
std::optional<std::string> ScriptAsRun();

// The arguments the stand-in net.exe was started with, in order.
std::vector<std::string> NetArguments();

// The starts are the expected ones in order with some, but not all, missing:
// cmd ran the script but Wine failed to start one of its commands, as it
// rarely does under load.
bool SomeStartsLost(const std::vector<std::string>& starts,
                    const std::vector<std::string>& expected);

// Waits (bounded) until a balloon with exactly this text is up.
bool BalloonShown(const std::wstring& text);

class ProgramFixture : public ::testing::Test {
 protected:
  // Known drive settings and no policy, no script, the proxy off, balloon tips off, no
  // stand-in starts recorded; remembers how many tray icons there were.
  void SetUp() override;
  // Waits for the drive script a case started to finish its commands, so
  // that they are not recorded as the next case's.
  void TearDown() override;

  // Waits (bounded) until the drive script a case started has run its
  // commands (or was ended before) and its command interpreter and console
  // have ended.
  static void WaitForTheScript();

  // Programs started while on have the stand-in net wait, as Windows' net
  // waits for a user name, at the script's line for drive i: (its third).
  static void NetWaitsAtDriveI(bool on);
  // Waits (bounded) until the stand-in net was started this many times, the
  // last one waiting.
  static bool WaitUntilStuck(std::size_t starts);
  // "School Proxy &ON", its box answered, until the run's net waits at drive
  // i: (started with NetWaitsAtDriveI on).
  static bool SwitchToSchoolUntilStuck(RunningProgram& program);

  // Icons of other programs may come and go; the program's own is the one
  // more than before it started.
  bool IconAdded();
  bool IconGone();

  // Right-button move over the main window, then an item of the pop-up menu.
  static void ChooseFromMenu(const RunningProgram& program, int index);

  std::size_t icons_before_ = 0;
};

}  // namespace rerevure::e2e
