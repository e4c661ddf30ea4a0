#include "shell/Program.h"

namespace rerevure::shell {

Program::Program(const ProgramPlatform& platform)
    : settings_(platform.shell.forms, platform.shell.shells, platform.policies, platform.errors),
      main_(platform.shell, platform.profiles, settings_),
      application_(platform.shell.application),
      auto_switch_(platform.networks, platform.shell.timers, platform.shell.shells,
                   platform.policies, platform.profiles.internet, platform.domain,
                   platform.profiles.codec, [this](switching::ProfileChange change) {
                     if (!stopped_) main_.SwitchByItself(change);
                   }) {
  main_.OnUserSwitch([this] { auto_switch_.UserSwitched(); });
}

void Program::Start(std::span<const Request> requests) {
  main_.Start(requests.empty());
  // An installer that ends the program to replace its file starts it again
  // afterwards as a logon start would: without the requests of this start,
  // which were carried out already. Should the user have started it again
  // meanwhile, that start shows the running program's window and ends.
  application_.RestartAfterUpdate(L"");
  for (const Request request : requests) main_.Queue(request);
  PerformQueued();
  auto_switch_.Start();
}

void Program::TakeHandedOver(const std::wstring& text) {
  if (stopped_) return;
  for (const Request request : ParseRequests(text)) main_.Queue(request);
}

void Program::PerformQueued() {
  if (!stopped_) main_.PerformWaiting();
}

}  // namespace rerevure::shell
