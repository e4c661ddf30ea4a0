// The program's entry point: the command line and the hand-over to a running
// instance, then the Win32 adapters wired to the logic and the message loop
// until the program ends.

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <string>
#include <vector>

#include "platform/ErrorReport.h"
#include "platform/Win32Application.h"
#include "platform/Win32AutomationShell.h"
#include "platform/Win32Com.h"
#include "platform/Win32ErrorReport.h"
#include "platform/Win32Form.h"
#include "platform/Win32InternetOptions.h"
#include "platform/Win32MessageBoxes.h"
#include "platform/Win32MessageLoop.h"
#include "platform/Win32Processes.h"
#include "platform/Win32SessionInstance.h"
#include "platform/Win32TextCodec.h"
#include "platform/Win32TextFiles.h"
#include "platform/Win32Tray.h"
#include "shell/CommandLine.h"
#include "shell/InstanceHandOver.h"
#include "shell/Program.h"
#include "shell/ShellTexts.h"

using namespace rerevure;

namespace {

// The arguments after the program's name, split as the C runtime would.
std::vector<std::wstring> Arguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) return {};  // out of memory: started as without arguments
  std::vector<std::wstring> result(arguments + (count > 0 ? 1 : 0), arguments + count);
  LocalFree(arguments);
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::Win32ErrorReport errors(std::wstring(shell::kApplicationTitle), shell::ErrorReportText);
  platform::Win32SessionInstance instance(errors);
  platform::Win32MessageBoxes boxes;
  const std::vector<std::wstring> arguments = Arguments();
  const shell::StartDecision decision =
      shell::DecideStart(shell::ParseCommandLine(arguments), instance, boxes);
  if (!decision.start_here) return decision.exit_code;

  // The automation shell object is a COM object of the user-interface thread.
  platform::ComInitializer com;

  platform::Win32TextCodec codec;
  platform::Win32InternetOptions internet;
  platform::Win32AutomationShellFactory shells;
  platform::Win32TextFiles files;
  platform::Win32Tray tray(codec);
  platform::Win32Processes processes;
  platform::Win32Application application;
  platform::Win32FormFactory forms(errors);

  const shell::ProgramPlatform platform{
      .shell = {forms, tray, shells, processes, application},
      .profiles = {internet, shells, files, codec},
      .errors = errors,
  };
  shell::Program program(platform);
  // Without its main window the program could be neither used nor ended.
  bool started = false;
  platform::RunReportingErrors(errors, [&] {
    program.Start(decision.requests);
    started = true;
  });
  if (!started) return 1;
  // Later starts find this one only now, with its main window loaded.
  platform::RunReportingErrors(errors, [&] {
    instance.Listen([&](const std::wstring& request) { program.PerformHandedOver(request); });
  });
  return platform::Win32MessageLoop::Run();
}
