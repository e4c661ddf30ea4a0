// The program's entry point: the Win32 adapters wired to the logic, then the
// message loop until the program ends. It takes no command line arguments.

#include <windows.h>

#include "platform/ErrorReport.h"
#include "platform/Win32Application.h"
#include "platform/Win32AutomationShell.h"
#include "platform/Win32Com.h"
#include "platform/Win32ErrorReport.h"
#include "platform/Win32Form.h"
#include "platform/Win32InternetOptions.h"
#include "platform/Win32MessageLoop.h"
#include "platform/Win32NetworkList.h"
#include "platform/Win32OneShotTimer.h"
#include "platform/Win32Processes.h"
#include "platform/Win32TextCodec.h"
#include "platform/Win32TextFiles.h"
#include "platform/Win32Tray.h"
#include "shell/Program.h"
#include "shell/ShellTexts.h"

using namespace rerevure;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The automation shell object is a COM object of the user-interface thread.
  platform::ComInitializer com;

  platform::Win32ErrorReport errors(std::wstring(shell::kApplicationTitle), shell::ErrorReportText);
  platform::Win32TextCodec codec;
  platform::Win32InternetOptions internet;
  platform::Win32AutomationShellFactory shells;
  platform::Win32TextFiles files;
  platform::Win32Tray tray(codec);
  platform::Win32Processes processes;
  platform::Win32Application application;
  platform::Win32FormFactory forms(errors);
  // Neither asks Windows for anything until switching by itself is on.
  platform::Win32NetworkList networks(errors);
  platform::Win32OneShotTimer timer(errors);

  const shell::ProgramPlatform platform{
      .shell = {forms, tray, shells, processes, application},
      .profiles = {internet, shells, files, codec},
      .errors = errors,
      .auto_switch = {networks, timer},
  };
  shell::Program program(platform);
  // Without its main window the program could be neither used nor ended.
  bool started = false;
  platform::RunReportingErrors(errors, [&] {
    program.Start();
    started = true;
  });
  if (!started) return 1;
  return platform::Win32MessageLoop::Run();
}
