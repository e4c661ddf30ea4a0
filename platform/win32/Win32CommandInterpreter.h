#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "platform/CommandInterpreter.h"
#include "platform/ErrorReport.h"
#include "platform/win32/Win32MessageWindow.h"

namespace rerevure::platform {

// ComSpec from the environment; CreateProcessW with the program named (no
// search along the path), the system folder as the current folder, so that a
// bare command the batch file names is the system's own, and SW_SHOWNORMAL.
// Each start runs in a job object of its own that ends everything in it when
// it is closed, where Windows lets it join one (see StartInSystemFolder). A
// process's end is waited for by the system thread pool, which posts it to a
// message-only window: every message loop of the thread (a message box's, a
// menu's) hands it on at once.
class Win32CommandInterpreter final : public CommandInterpreter {
 public:
  // How a started process joins its job: AssignProcessToJobObject. Wine
  // nests every job, so a test that must see Windows refuse gives its own.
  using JobAssignment = BOOL(WINAPI*)(HANDLE job, HANDLE process);

  explicit Win32CommandInterpreter(ErrorReport& errors,
                                   JobAssignment assign = &AssignProcessToJobObject)
      : errors_(errors), assign_(assign) {}
  ~Win32CommandInterpreter() override;

  std::wstring Path() override;
  // The program may itself run in a job (started by Task Scheduler, runas or
  // a management agent) that the interpreter cannot leave for a job of its
  // own: Windows 7 has no nested jobs, and no job with UI limits nests. The
  // interpreter then runs without one rather than not at all; ending it ends
  // the interpreter alone, and a command it started (a net waiting on its
  // prompt) runs on until it ends by itself.
  std::unique_ptr<StartedProcess> StartInSystemFolder(const std::wstring& program,
                                                      const std::wstring& command_line) override;

 private:
  class Process;
  void Ended(WPARAM id);

  ErrorReport& errors_;
  JobAssignment assign_;
  // Made at the first start, so that a failure is the start's.
  std::unique_ptr<Win32MessageWindow> window_;
  // The processes whose objects live, by the id their end is posted with.
  std::map<WPARAM, Process*> processes_;
  WPARAM next_id_ = 1;
};

}  // namespace rerevure::platform
