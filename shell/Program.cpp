#include "shell/Program.h"

namespace rerevure::shell {

Program::Program(const ProgramPlatform& platform)
    : settings_(platform.shell.forms, platform.shell.shells, platform.errors),
      main_(platform.shell, platform.profiles, settings_),
      errors_(platform.errors) {}

void Program::Start(std::span<const Request> requests) {
  main_.Start(requests.empty());
  Perform(requests);
}

void Program::PerformHandedOver(const std::wstring& text) { Perform(ParseRequests(text)); }

void Program::Perform(std::span<const Request> requests) {
  // Each request on its own, as a handler: a failing one is reported and the
  // program, and the requests after it, go on.
  for (const Request request : requests) {
    platform::RunReportingErrors(errors_, [&] { main_.Perform(request); });
  }
}

}  // namespace rerevure::shell
