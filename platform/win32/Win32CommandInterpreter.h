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
// it is closed. A process's end is waited for by the system thread pool, which
// posts it to a message-only window: every message loop of the thread (a
// message box's, a menu's) hands it on at once.
class Win32CommandInterpreter final : public CommandInterpreter {
 public:
  explicit Win32CommandInterpreter(ErrorReport& errors) : errors_(errors) {}
  ~Win32CommandInterpreter() override;

  std::wstring Path() override;
  std::unique_ptr<StartedProcess> StartInSystemFolder(const std::wstring& program,
                                                      const std::wstring& command_line) override;

 private:
  class Process;
  void Ended(WPARAM id);

  ErrorReport& errors_;
  // Made at the first start, so that a failure is the start's.
  std::unique_ptr<Win32MessageWindow> window_;
  // The processes whose objects live, by the id their end is posted with.
  std::map<WPARAM, Process*> processes_;
  WPARAM next_id_ = 1;
};

}  // namespace rerevure::platform
