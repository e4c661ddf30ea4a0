#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "Desktop.h"

namespace rerevure::e2e {

// The real Rerevure.exe of this build, started as a user would start it and
// driven only from outside: window messages, input, the registry and files.
// Programs it starts find the stand-in net.exe first on their PATH; the
// stand-ins record their starts in StandInLog(). The destructor ends the
// program if it is still running.
class RunningProgram {
 public:
  // What a start is expected to do: run with its main window shown, run with
  // it hidden (a script's request), or end by itself (handed over, refused).
  enum class Expect { Shown, Hidden, Ends };

  explicit RunningProgram(const std::wstring& arguments = L"", Expect expect = Expect::Shown);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  static std::wstring ExePath();
  static std::wstring StandInPath();  // the stand-in program itself
  static std::wstring StandInLog();
  // The lines the stand-ins recorded so far: name TAB arguments TAB show code.
  static std::vector<std::string> StandInStarts();

  DWORD ProcessId() const { return process_.dwProcessId; }
  bool Running() const;
  bool WaitForExit(std::chrono::milliseconds timeout = 10s) const;
  // The exit code once the process has ended.
  std::optional<DWORD> ExitCode() const;

  // The main window (found when the program had started).
  HWND Main() const { return main_; }
  // A visible top-level window of the program with this caption, waited for.
  HWND WaitForWindow(const std::wstring& caption, std::chrono::milliseconds timeout = 10s) const;
  // The program's visible message boxes (dialog class #32770).
  std::vector<HWND> MessageBoxes() const;
  HWND WaitForMessageBox(std::chrono::milliseconds timeout = 10s) const;
  // The text of a message box: its static control 0xFFFF.
  static std::wstring MessageBoxText(HWND box);
  // Presses a button of a message box (IDOK, IDCANCEL...) and waits until the
  // box is gone.
  static bool Answer(HWND box, int button_id);

  // Clicks a button of a window by its caption, as the mouse would; the
  // click is posted, so a modal box it opens does not block the caller.
  void Click(const std::wstring& caption) const;
  // The program's visible pop-up menu (#32768), waited for.
  HWND WaitForPopupMenu(std::chrono::milliseconds timeout = 10s) const;
  // Chooses item `index` (from 0) of an open pop-up menu with the keyboard.
  static void ChooseMenuItem(HWND menu, int index);

 private:
  PROCESS_INFORMATION process_{};
  HWND main_ = nullptr;
};

inline constexpr const wchar_t* kMainCaption = L"Viriru Proxy Switcher v1.6";
inline constexpr const wchar_t* kSettingsCaption = L"Rerevure Map Drive Settings";

}  // namespace rerevure::e2e
