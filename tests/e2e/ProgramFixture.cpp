#include "ProgramFixture.h"

#include <algorithm>
#include <cctype>

namespace rerevure::e2e {
namespace {

const std::wstring kDllOverrides = L"Software\\Wine\\DllOverrides";

std::wstring SystemNet() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\net.exe";
}

// The program runs the script in the system folder, where "net" is the
// system's own: for these tests the stand-in takes its place there. Wine runs
// its built-in net instead of a file of that name unless told to prefer the
// file. The system's net comes back at the end.
class SystemNetStandIn final : public ::testing::Environment {
 public:
  void SetUp() override {
    // Kept from an earlier run that ended early, the saved one is the system's.
    CopyFileW(SystemNet().c_str(), Saved().c_str(), TRUE);
    ASSERT_TRUE(CopyFileW(RunningProgram::StandInPath().c_str(), SystemNet().c_str(), FALSE))
        << "cannot put the net stand-in in the system folder: " << GetLastError();
    WriteString(kDllOverrides, L"net.exe", L"native");
  }
  void TearDown() override {
    DeleteValue(kDllOverrides, L"net.exe");
    // A stand-in still running holds the file for a moment.
    if (WaitUntil([] { return CopyFileW(Saved().c_str(), SystemNet().c_str(), FALSE) != FALSE; }))
      DeleteFileW(Saved().c_str());
  }

 private:
  static std::wstring Saved() { return SystemNet() + L".e2e-saved"; }
};

[[maybe_unused]] ::testing::Environment* const kSystemNetStandIn =
    ::testing::AddGlobalTestEnvironment(new SystemNetStandIn);

}  // namespace

const std::string kExpectedScript =
    "title Proxy VOZ v1.6 by ZUV Orarevirado\r\n"
    "color A\r\n"
    "@echo off\r\n"
    "net use * /d /y\r\n"
    "cls\r\n"
    "net use h: \\\\srv\\home /USER:jo pw1\r\n"
    "net use i: \\\\srv\\students\r\n"
    "net use j: \\\\srv\\staff\r\n"
    "net use k: \\\\srv\\extra1\r\n"
    "net use l: \\\\srv\\extra2\r\n"
    "cls\r\n";

const std::vector<std::string> kExpectedNet = {"use * /d /y",
                                               "use h: \\\\srv\\home /USER:jo pw1",
                                               "use i: \\\\srv\\students",
                                               "use j: \\\\srv\\staff",
                                               "use k: \\\\srv\\extra1",
                                               "use l: \\\\srv\\extra2"};

bool SomeStartsLost(const std::vector<std::string>& starts,
                    const std::vector<std::string>& expected) {
  if (starts.empty() || starts.size() >= expected.size()) return false;
  auto next = expected.begin();
  for (const auto& start : starts) {
    next = std::find(next, expected.end(), start);
    if (next == expected.end()) return false;
    ++next;
  }
  return true;
}

std::wstring ScriptCopy() { return RunningProgram::StandInLog() + L".script"; }

std::optional<std::string> ScriptAsRun() { return ReadFileBytes(ScriptCopy()); }

std::vector<std::string> NetArguments() {
  std::vector<std::string> arguments;
  for (const std::string& line : RunningProgram::StandInStarts()) {
    const auto first_tab = line.find('\t');
    const auto second_tab = line.find('\t', first_tab + 1);
    std::string name = line.substr(0, first_tab);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == "net.exe")
      arguments.push_back(line.substr(first_tab + 1, second_tab - first_tab - 1));
  }
  return arguments;
}

bool BalloonShown(const std::wstring& text) {
  return WaitUntil(
      [&] {
        const auto texts = VisibleBalloonTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
      },
      15s);
}

void ProgramFixture::SetUp() {
  // Xvfb has no window manager, so Wine's wait for one to withdraw a hidden
  // or closed window always runs its full 2 s. Left unmanaged, the program's
  // windows get their frames drawn by Wine itself and hide at once.
  WriteString(L"Software\\Wine\\AppDefaults\\Rerevure.exe\\X11 Driver", L"Managed", L"N");

  DeleteTree(kSettingsKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kPolicyKey);
  DeleteTree(HKEY_CURRENT_USER, kPolicyKey);
  WriteString(kSettingsKey, L"UserArea", L"\\\\srv\\home");
  WriteString(kSettingsKey, L"SchoolShare", L"\\\\srv\\students");
  WriteString(kSettingsKey, L"StaffShare", L"\\\\srv\\staff");
  WriteString(kSettingsKey, L"Extra1", L"\\\\srv\\extra1");
  WriteString(kSettingsKey, L"Extra2", L"\\\\srv\\extra2");
  WriteString(kSettingsKey, L"Username", L"jo");
  WriteString(kSettingsKey, L"Password", L"pw1");
  WriteDword(kInternetSettings, L"ProxyEnable", 0);
  WriteDword(kExplorerAdvanced, L"EnableBalloonTips", 0);
  RemoveFile(kScript);
  RemoveFile(RunningProgram::StandInLog());
  RemoveFile(ScriptCopy());
  SetEnvironmentVariableW(L"REREVURE_STANDIN_SCRIPT", kScript.c_str());
  NetWaitsAtDriveI(false);
  icons_before_ = TrayIconWindows().size();
}

void ProgramFixture::TearDown() {
  WaitForTheScript();
  // The other tests of the prefix expect no policy.
  DeleteTree(HKEY_LOCAL_MACHINE, kPolicyKey);
  DeleteTree(HKEY_CURRENT_USER, kPolicyKey);
}

void ProgramFixture::WaitForTheScript() {
  const std::optional<std::string> script = ScriptAsRun();
  if (!script) return;
  std::size_t commands = 0;
  for (std::size_t at = script->find("net use"); at != std::string::npos;
       at = script->find("net use", at + 1)) {
    ++commands;
  }
  // A script the program ended runs no more commands: once neither the
  // interpreter nor a net runs, none will come.
  WaitUntil(
      [&] {
        return NetArguments().size() >= commands ||
               (!ProcessRunning(L"cmd.exe") && !ProcessRunning(L"net.exe"));
      },
      20s);
  WaitUntil([] { return !ProcessRunning(L"cmd.exe") && !ProcessRunning(L"conhost.exe"); }, 20s);
}

void ProgramFixture::NetWaitsAtDriveI(bool on) {
  SetEnvironmentVariableW(L"REREVURE_STANDIN_WAIT_AT", on ? L"use i:" : nullptr);
}

bool ProgramFixture::WaitUntilStuck(std::size_t starts) {
  return WaitUntil([&] { return NetArguments().size() >= starts && ProcessRunning(L"net.exe"); },
                   20s);
}

bool ProgramFixture::SwitchToSchoolUntilStuck(RunningProgram& program) {
  program.Click(L"School Proxy &ON");
  return RunningProgram::Answer(program.WaitForMessageBox(), IDOK) && WaitUntilStuck(3);
}

bool ProgramFixture::IconAdded() {
  return WaitUntil([&] { return TrayIconWindows().size() > icons_before_; });
}

bool ProgramFixture::IconGone() {
  return WaitUntil([&] { return TrayIconWindows().size() <= icons_before_; });
}

void ProgramFixture::ChooseFromMenu(const RunningProgram& program, int index) {
  PostMessageW(program.Main(), WM_MOUSEMOVE, MK_RBUTTON, 0);
  HWND menu = program.WaitForPopupMenu();
  ASSERT_NE(menu, nullptr);
  RunningProgram::ChooseMenuItem(menu, index);
}

}  // namespace rerevure::e2e
