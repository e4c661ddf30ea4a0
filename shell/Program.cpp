#include "shell/Program.h"

namespace rerevure::shell {

Program::Program(const ProgramPlatform& platform)
    : settings_(platform.shell.forms, platform.shell.shells, platform.errors),
      main_(platform.shell, platform.profiles, settings_) {}

void Program::Start() { main_.Start(); }

}  // namespace rerevure::shell
