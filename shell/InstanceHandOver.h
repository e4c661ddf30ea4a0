#pragma once

#include <chrono>
#include <vector>

#include "platform/MessageBoxes.h"
#include "platform/SessionInstance.h"
#include "shell/CommandLine.h"

namespace rerevure::shell {

// The exit codes of a start that does not run the program itself.
inline constexpr int kExitDone = 0;      // done, handed over, or nothing to do
inline constexpr int kExitNoAnswer = 1;  // the running instance did not answer
inline constexpr int kExitBadArgument = 2;

// How long a start waits for the running instance, in all.
inline constexpr std::chrono::milliseconds kHandOverTimeout{10000};

// How one start of the program goes on.
struct StartDecision {
  // Run the program in this process; otherwise end at once with exit_code.
  bool start_here = false;
  // For a program started here: carried out in order once the main window
  // has loaded, the window left hidden. None: started and shown as usual.
  std::vector<Request> requests;
  int exit_code = kExitDone;
};

// One instance per user session: the first start runs the program, a later
// one hands its requests (with none, /show) to the running instance and ends.
// A refused command line is answered with the usage box and nothing else.
// /exit with no instance running does nothing.
StartDecision DecideStart(const CommandLine& command_line, platform::SessionInstance& instance,
                          platform::MessageBoxes& boxes);

}  // namespace rerevure::shell
