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
inline const std::wstring kInternetSettings =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline const std::wstring kExplorerAdvanced =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced";
inline const std::wstring kScript = L"C:\\Program Files\\Rerevure\\MapDrives.bat";
inline const std::wstring kHomeBalloon =
    L"Your Now On Your Home Network,\r\nSchool Proxy Disabled.";

// The script the program writes from the settings SetUp stores.
extern const std::string kExpectedScript;

// The arguments the stand-in net.exe was started with, in order.
std::vector<std::string> NetArguments();

// Waits (bounded) until a balloon with exactly this text is up.
bool BalloonShown(const std::wstring& text);

class ProgramFixture : public ::testing::Test {
 protected:
  // Known drive settings, no script, the proxy off, balloon tips off, no
  // stand-in starts recorded; remembers how many tray icons there were.
  void SetUp() override;
  // Waits for the drive script a case started to finish its commands, so
  // that they are not recorded as the next case's.
  void TearDown() override;

  // Icons of other programs may come and go; the program's own is the one
  // more than before it started.
  bool IconAdded();
  bool IconGone();

  // Right-button move over the main window, then an item of the pop-up menu.
  static void ChooseFromMenu(const RunningProgram& program, int index);

  std::size_t icons_before_ = 0;
};

}  // namespace rerevure::e2e
