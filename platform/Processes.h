#pragma once

#include <string>

namespace rerevure::platform {

// Show-window codes the program starts processes with.
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwShowMinimized = 2;  // minimised and activated

// Starting other programs. Neither call waits for the started process.
class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a command line (program path, a blank, its arguments) as a new
  // process. Throws PlatformError when it cannot be started.
  virtual void Start(const std::wstring& command_line, int show_code) = 0;
  // Opens a web address with the user's default browser. Throws PlatformError.
  virtual void OpenWithDefaultBrowser(const std::wstring& address, int show_code) = 0;
};

}  // namespace rerevure::platform
