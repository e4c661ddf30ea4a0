#pragma once

#include "platform/CommandInterpreter.h"

namespace rerevure::platform {

// ComSpec from the environment; CreateProcessW with the program named (no
// search along the path), the system folder as the current folder, so that a
// bare command the batch file names is the system's own, and SW_SHOWNORMAL.
class Win32CommandInterpreter final : public CommandInterpreter {
 public:
  std::wstring Path() override;
  std::unique_ptr<StartedProcess> StartInSystemFolder(const std::wstring& program,
                                                      const std::wstring& command_line) override;
};

}  // namespace rerevure::platform
