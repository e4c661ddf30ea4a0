// The program's entry point: the Win32 adapters wired to the logic, then the
// message loop until the program ends. It takes no command line arguments.

#include <windows.h>

#include <optional>

#include "platform/ErrorReport.h"
#include "platform/Win32Application.h"
#include "platform/Win32AutomationShell.h"
#include "platform/Win32Com.h"
#include "platform/Win32ErrorReport.h"
#include "platform/Win32Form.h"
#include "platform/Win32InternetOptions.h"
#include "platform/Win32MessageLoop.h"
#include "platform/Win32Processes.h"
#include "platform/Win32TextCodec.h"
#include "platform/Win32TextFiles.h"
#include "platform/Win32Timer.h"
#include "platform/Win32Tray.h"
#include "shell/Program.h"
#include "shell/ShellTexts.h"
#include "shell/StartUp.h"

using namespace rerevure;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::Win32ErrorReport errors(std::wstring(shell::kApplicationTitle), shell::ErrorReportText);
  platform::Win32TextCodec codec;
  platform::Win32InternetOptions internet;
  platform::Win32AutomationShellFactory shells;
  platform::Win32TextFiles files;
  platform::Win32Tray tray(codec);
  platform::Win32Processes processes;
  platform::Win32Application application;
  platform::Win32FormFactory forms(errors);
  platform::Win32TimerFactory timers(errors);

  const shell::ProgramPlatform platform{
      .shell = {forms, tray, shells, processes, application, timers},
      .profiles = {internet, shells, files, codec},
      .errors = errors,
  };
  // Made by the start steps, so that their failures reach the report; they
  // live until the message loop has ended, COM longest.
  std::optional<platform::ComInitializer> com;
  std::optional<shell::Program> program;
  return shell::StartThenRun(
      errors,
      [&] {
        // The automation shell object is a COM object of the user-interface thread.
        com.emplace();
        program.emplace(platform);
        program->Start();
      },
      [] { return platform::Win32MessageLoop::Run(); });
}
