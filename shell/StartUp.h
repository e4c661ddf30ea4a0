#pragma once

#include "platform/ErrorReport.h"

namespace rerevure::shell {

// The exit code of a program that could not start.
inline constexpr int kStartFailed = 1;

// The program's life: start (every step before the message loop: COM, the
// adapters, loading the main window), then the loop. A failing start step
// goes to the error report, which therefore has to exist before the first
// step; the loop then never runs, since without its main window the program
// could be neither used nor ended. No exception leaves: one escaping the
// entry point would end the process without a word.
template <class StartSteps, class MessageLoop>
int StartThenRun(platform::ErrorReport& errors, StartSteps&& start, MessageLoop&& loop) noexcept {
  bool started = false;
  platform::RunReportingErrors(errors, [&] {
    start();
    started = true;
  });
  if (!started) return kStartFailed;
  return loop();
}

}  // namespace rerevure::shell
