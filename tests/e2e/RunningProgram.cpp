#include "RunningProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace rerevure::e2e {
namespace {

// Wine runs Windows programs from its drive Z:, the Unix root.
std::wstring WindowsPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring Folder(const std::wstring& path) { return path.substr(0, path.find_last_of(L'\\')); }

// A top-level window of the process with this caption, shown or not.
HWND AnyWindowCaptioned(DWORD process_id, const std::wstring& caption) {
  HWND found = nullptr;
  for (HWND hwnd = GetTopWindow(nullptr); hwnd != nullptr && !found;
       hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == process_id && WindowText(hwnd) == caption) found = hwnd;
  }
  return found;
}

}  // namespace

std::wstring RunningProgram::ExePath() { return WindowsPath(REREVURE_EXE); }
std::wstring RunningProgram::StandInPath() { return WindowsPath(REREVURE_STANDIN_EXE); }
std::wstring RunningProgram::StandInLog() {
  return WindowsPath(REREVURE_E2E_WORK_DIR) + L"\\standin.log";
}

std::vector<std::string> RunningProgram::StandInStarts() {
  std::vector<std::string> lines;
  std::istringstream in(ReadFileBytes(StandInLog()).value_or(""));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

RunningProgram::RunningProgram(const std::wstring& arguments, Expect expect) {
  // The environment the program (and everything it starts) inherits.
  wchar_t path[32768] = {};
  GetEnvironmentVariableW(L"PATH", path, static_cast<DWORD>(std::size(path)));
  std::wstring own_path = path;
  const std::wstring stand_ins = Folder(StandInPath());
  if (own_path.rfind(stand_ins + L";", 0) != 0) own_path = stand_ins + L";" + own_path;
  SetEnvironmentVariableW(L"PATH", own_path.c_str());
  SetEnvironmentVariableW(L"REREVURE_STANDIN_LOG", StandInLog().c_str());

  std::wstring command = L"\"" + ExePath() + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  // Started in the stand-ins' folder: the shell object's Run looks for a
  // bare program name in the current folder before the system's own.
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      stand_ins.c_str(), &startup, &process_)) {
    ADD_FAILURE() << "cannot start the program, error " << GetLastError();
    return;
  }
  if (expect == Expect::Ends) return;
  if (expect == Expect::Hidden) {
    WaitUntil([&] { return (main_ = AnyWindowCaptioned(ProcessId(), kMainCaption)) != nullptr; },
              30s);
  } else {
    main_ = WaitForWindow(kMainCaption, 30s);
  }
  if (!main_) ADD_FAILURE() << "the main window did not appear";
}

RunningProgram::~RunningProgram() {
  if (!process_.hProcess) return;
  // A platform close ends the program the way it removes its tray icon; a
  // killed program would leave a dead icon behind for the next case.
  if (Running() && main_ != nullptr) {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    WaitForExit(5s);
  }
  if (Running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool RunningProgram::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool RunningProgram::WaitForExit(std::chrono::milliseconds timeout) const {
  return process_.hProcess &&
         WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) ==
             WAIT_OBJECT_0;
}

std::optional<DWORD> RunningProgram::ExitCode() const {
  DWORD code = 0;
  if (!process_.hProcess || Running() || !GetExitCodeProcess(process_.hProcess, &code)) {
    return std::nullopt;
  }
  return code;
}

HWND RunningProgram::WaitForWindow(const std::wstring& caption,
                                   std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND hwnd : TopLevelWindows(ProcessId())) {
          if (WindowText(hwnd) == caption) {
            found = hwnd;
            return true;
          }
        }
        return false;
      },
      timeout);
  return found;
}

std::vector<HWND> RunningProgram::MessageBoxes() const {
  return TopLevelWindows(ProcessId(), L"#32770");
}

HWND RunningProgram::WaitForMessageBox(std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        // Every box of the program has a text: a box without one is not
        // ready yet (once, under load, one was seen with neither caption nor
        // text), so the wait goes on until it is.
        for (HWND box : MessageBoxes()) {
          if (!MessageBoxText(box).empty()) {
            found = box;
            break;
          }
        }
        return found != nullptr;
      },
      timeout);
  return found;
}

std::wstring RunningProgram::MessageBoxText(HWND box) {
  return WindowText(GetDlgItem(box, 0xFFFF));
}

bool RunningProgram::Answer(HWND box, int button_id) {
  HWND button = GetDlgItem(box, button_id);
  if (!button) return false;
  PostMessageW(button, BM_CLICK, 0, 0);
  return WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); });
}

void RunningProgram::Click(const std::wstring& caption) const {
  HWND button = FindDescendant(main_, caption);
  if (!button) {
    ADD_FAILURE() << "no button captioned as asked";
    return;
  }
  PostMessageW(button, BM_CLICK, 0, 0);
}

HWND RunningProgram::WaitForPopupMenu(std::chrono::milliseconds timeout) const {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const auto menus = TopLevelWindows(ProcessId(), L"#32768");
        if (!menus.empty()) found = menus.front();
        return found != nullptr;
      },
      timeout);
  return found;
}

void RunningProgram::ChooseMenuItem(HWND menu, int index) {
  // The menu's own loop reads the keyboard messages of its thread.
  for (int i = 0; i <= index; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace rerevure::e2e
