#include "shell/Program.h"

namespace rerevure::shell {

Program::Program(const ProgramPlatform& platform)
    : settings_(platform.shell.forms, platform.shell.shells, platform.errors),
      main_(platform.shell, platform.profiles, settings_),
      auto_switch_(platform.auto_switch, platform.shell.shells, platform.profiles.internet,
                   platform.profiles.codec,
                   [this](switching::ProfileChange change) { main_.SwitchByItself(change); }) {
  main_.OnUserSwitch([this] { auto_switch_.UserSwitched(); });
}

void Program::Start() {
  main_.Start();
  auto_switch_.Start();
}

}  // namespace rerevure::shell
