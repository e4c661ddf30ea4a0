// The program's entry point: the command line and the hand-over to a running
// instance, then the Win32 adapters wired to the logic and the message loop
// until the program ends.

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <optional>
#include <string>
#include <vector>

#include "platform/ErrorReport.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32AutomationShell.h"
#include "platform/win32/Win32Com.h"
#include "platform/win32/Win32CommandInterpreter.h"
#include "platform/win32/Win32DomainMembership.h"
#include "platform/win32/Win32ErrorReport.h"
#include "platform/win32/Win32FolderIdentity.h"
#include "platform/win32/Win32Form.h"
#include "platform/win32/Win32InternetOptions.h"
#include "platform/win32/Win32MessageBoxes.h"
#include "platform/win32/Win32MessageLoop.h"
#include "platform/win32/Win32NetworkList.h"
#include "platform/win32/Win32Owners.h"
#include "platform/win32/Win32Pause.h"
#include "platform/win32/Win32PolicyValues.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32RandomSource.h"
#include "platform/win32/Win32SessionInstance.h"
#include "platform/win32/Win32TextCodec.h"
#include "platform/win32/Win32TextFiles.h"
#include "platform/win32/Win32Timer.h"
#include "platform/win32/Win32Tray.h"
#include "settings/SchoolProxyPolicyReader.h"
#include "shell/CommandLine.h"
#include "shell/InstanceHandOver.h"
#include "shell/Program.h"
#include "shell/ShellTexts.h"
#include "shell/StartUp.h"

using namespace rerevure;

namespace {

// The arguments after the program's name, split as the C runtime would.
std::vector<std::wstring> Arguments() {
  int count = 0;
  const platform::LocalMemory<LPWSTR> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
  if (!arguments) return {};  // out of memory: started as without arguments
  return std::vector<std::wstring>(arguments.get() + (count > 0 ? 1 : 0), arguments.get() + count);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::Win32ErrorReport errors(std::wstring(shell::kApplicationTitle), shell::ErrorReportText);
  platform::Win32SessionInstance instance(errors);
  platform::Win32MessageBoxes boxes;
  // Deciding may already fail (no memory for the arguments): that too is
  // reported, never an end without a word.
  std::optional<shell::StartDecision> decision;
  platform::RunReportingErrors(errors, [&] {
    decision = shell::DecideStart(shell::ParseCommandLine(Arguments()), instance, boxes);
  });
  if (!decision) return shell::kStartFailed;
  if (!decision->start_here) return decision->exit_code;

  // Declared before the adapters that hold COM objects, so that it outlives
  // them; started by the first start step, so that a failure is reported.
  std::optional<platform::ComInitializer> com;
  platform::Win32TextCodec codec;
  platform::Win32InternetOptions internet;
  platform::Win32AutomationShellFactory shells;
  platform::Win32TextFiles files;
  platform::Win32FolderIdentity folders;
  platform::Win32CommandInterpreter interpreter(errors);
  platform::Win32Pause pause;
  platform::Win32RandomSource random;
  // Whichever way the program ends, a script still running ends with it.
  switching::ScriptRun script_run(files, pause);
  platform::Win32Tray tray(codec);
  platform::Win32Processes processes;
  platform::Win32Application application;
  platform::Win32FormFactory forms(errors);
  platform::Win32TimerFactory timers(errors);
  // Asks Windows for nothing until switching by itself is on.
  platform::Win32NetworkList networks(errors);
  platform::Win32PolicyValues policies;
  settings::SchoolProxyPolicyReader school_proxy(policies);
  platform::Win32DomainMembership domain;

  const shell::ProgramPlatform platform{
      .shell = {forms, tray, shells, processes, application, timers},
      .profiles = {internet, shells, files, codec, folders, interpreter, random, script_run,
                   school_proxy},
      .errors = errors,
      .networks = networks,
      .policies = policies,
      .domain = domain,
  };
  // Made by the start steps, so that their failures reach the report; they
  // live until the message loop has ended.
  std::optional<shell::Program> program;
  return shell::StartThenRun(
      errors,
      [&] {
        // The automation shell object is a COM object of the user-interface thread.
        com.emplace();
        program.emplace(platform);
        program->Start(decision->requests);
        // Later starts find this one only now, with its main window loaded.
        // Without that the program is still of use, so it goes on.
        platform::RunReportingErrors(errors, [&] {
          instance.Listen([&](const std::wstring& text) { program->TakeHandedOver(text); },
                          [&] { program->PerformQueued(); });
        });
      },
      [&] {
        const int code = platform::Win32MessageLoop::Run();
        // Messages may still be handled while the rest goes (a box of the
        // error report, a COM call); none may reach the windows any more.
        program->Stop();
        return code;
      });
}
