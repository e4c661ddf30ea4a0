#pragma once

#include <functional>
#include <memory>
#include <string>

namespace rerevure::platform {

// A process the program started and keeps a hold of while it runs. Letting
// go of it does not end the process.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // ended runs once, on the user-interface thread from its message loop,
  // after the process has ended; never once this object is gone.
  virtual void WhenEnded(std::function<void()> ended) = 0;
};

// The platform's command interpreter, started for batch files.
class CommandInterpreter {
 public:
  virtual ~CommandInterpreter() = default;
  // The interpreter's full path (%ComSpec%). Throws PlatformError when unset.
  virtual std::wstring Path() = 0;
  // Starts program with the whole command line (program name first) in the
  // system folder, in a normal, activated window. Throws PlatformError when
  // it cannot be started.
  virtual std::unique_ptr<StartedProcess> StartInSystemFolder(const std::wstring& program,
                                                              const std::wstring& command_line) = 0;
};

}  // namespace rerevure::platform
