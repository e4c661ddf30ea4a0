#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace rerevure::platform {

// A process the program started, in a group with every process it starts in
// turn where the platform allows one. Letting go of this object ends the
// group (without one, the process): nothing the program started outlives its
// hold on it. None of the calls throws.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // ended runs once, on the user-interface thread from whichever message loop
  // runs (a message box's and a menu's included), after the process has
  // ended by itself; never once this object is gone or Terminate was called.
  virtual void WhenEnded(std::function<void()> ended) = 0;
  // Waits at most timeout for the process to end by itself; true once it has.
  virtual bool WaitForEnd(std::chrono::milliseconds timeout) = 0;
  // Ends the process and every process it started (without a group, the
  // process alone), and waits briefly for the process to be gone, so that
  // the files it held are free again.
  virtual void Terminate() = 0;
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
