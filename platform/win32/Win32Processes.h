#pragma once

#include "platform/Processes.h"

namespace rerevure::platform {

// CreateProcessW for command lines, ShellExecuteW for the default browser.
class Win32Processes final : public Processes {
 public:
  void Start(const std::wstring& command_line, int show_code) override;
  void OpenWithDefaultBrowser(const std::wstring& address, int show_code) override;
};

}  // namespace rerevure::platform
