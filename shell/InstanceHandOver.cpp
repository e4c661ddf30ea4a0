#include "shell/InstanceHandOver.h"

#include <algorithm>

#include "platform/Form.h"
#include "shell/ShellTexts.h"

namespace rerevure::shell {
namespace {

// A running instance that ends just as this start hands over leaves the
// place free: take it then. Bounded, so that instances ending and starting
// in a row cannot keep a start waiting.
constexpr int kClaimAttempts = 3;

StartDecision EndWith(int exit_code) {
  StartDecision decision;
  decision.exit_code = exit_code;
  return decision;
}

}  // namespace

StartDecision DecideStart(const CommandLine& command_line, platform::SessionInstance& instance,
                          platform::MessageBoxes& boxes) {
  if (command_line.unknown) {
    boxes.Show(UsageText(*command_line.unknown), std::wstring(kApplicationTitle),
               platform::kMbOk | platform::kMbIconError);
    return EndWith(kExitBadArgument);
  }
  const std::vector<Request>& requests = command_line.requests;
  const bool exit_first = !requests.empty() && requests.front() == Request::Exit;
  // A second start without arguments does what a click on the tray icon does.
  const std::vector<Request> handed = requests.empty() ? std::vector{Request::Show} : requests;
  const bool until_ended = std::ranges::find(handed, Request::Exit) != handed.end();

  for (int attempt = 0; attempt < kClaimAttempts; ++attempt) {
    if (instance.Claim()) {
      if (exit_first) return EndWith(kExitDone);
      StartDecision here;
      here.start_here = true;
      here.requests = requests;
      return here;
    }
    switch (instance.HandOver(RequestsText(handed), until_ended, kHandOverTimeout)) {
      case platform::HandOverResult::Accepted:
        return EndWith(kExitDone);
      case platform::HandOverResult::NoAnswer:
        return EndWith(kExitNoAnswer);
      case platform::HandOverResult::NotRunning:
        if (exit_first) return EndWith(kExitDone);
        break;
    }
  }
  return EndWith(kExitNoAnswer);
}

}  // namespace rerevure::shell
