// The drive script as the command interpreter really runs it: Wine's own
// cmd.exe runs a script written by the program's script code through the real
// file and code page adapters, with a stand-in net.exe that records the
// arguments each "net" command received.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "ScratchFolder.h"
#include "platform/win32/Win32TextCodec.h"
#include "platform/win32/Win32TextFiles.h"
#include "support/FakeSettingsSource.h"
#include "switching/DriveScript.h"

namespace rerevure::platform {
namespace {

using Arguments = std::vector<std::wstring>;

std::wstring FromUtf8(const std::string& bytes) {
  std::wstring text(bytes.size(), L'\0');
  text.resize(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                  text.data(), static_cast<int>(text.size())));
  return text;
}

// The stand-in's log: one record per start, arguments split at 0x1F.
std::vector<Arguments> NetCalls(const std::wstring& log) {
  std::vector<Arguments> calls;
  const std::wstring text = FromUtf8(ReadFileBytes(log));
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(L'\x1e', start)) != std::wstring::npos; start = end + 1) {
    const std::wstring record = text.substr(start, end - start);
    Arguments arguments;
    std::size_t from = 0;
    for (std::size_t to; (to = record.find(L'\x1f', from)) != std::wstring::npos; from = to + 1)
      arguments.push_back(record.substr(from, to - from));
    arguments.push_back(record.substr(from));
    calls.push_back(arguments);
  }
  return calls;
}

// Runs cmd.exe with the command line, the stand-in first on the path and in
// the current folder, waits for it to end and gives its exit code. What cmd
// prints goes to the output file, outside the folder.
DWORD RunScript(std::wstring command, const std::wstring& folder, const std::wstring& output) {
  wchar_t old_path[32767];
  const DWORD length = GetEnvironmentVariableW(L"PATH", old_path, 32767);
  const std::wstring path = folder + L";" + std::wstring(old_path, length);

  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE out = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(out, INVALID_HANDLE_VALUE);
  EXPECT_NE(in, INVALID_HANDLE_VALUE);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = startup.hStdError = out;
  PROCESS_INFORMATION process{};
  SetEnvironmentVariableW(L"PATH", path.c_str());
  // Wine has failed this start with ERROR_INTERNAL_ERROR while builds ran
  // beside the tests, a fault of the test bench that says nothing about the
  // script: the start is tried once more, saying so.
  BOOL started = FALSE;
  DWORD error = ERROR_SUCCESS;
  for (int start = 0; start < 2 && !started; ++start) {
    started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                             nullptr, folder.c_str(), &startup, &process);
    error = started ? ERROR_SUCCESS : GetLastError();
    if (error == ERROR_INTERNAL_ERROR)
      std::cout << "[ RETRIED  ] Wine could not start cmd.exe (" << error << ")\n";
    else
      break;
  }
  SetEnvironmentVariableW(L"PATH", std::wstring(old_path, length).c_str());
  CloseHandle(out);
  CloseHandle(in);
  if (!started) {
    ADD_FAILURE() << "cmd.exe could not be started: " << error;
    return STILL_ACTIVE;
  }
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
  DWORD exit_code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exit_code;
}

struct HostileCase {
  const char* name;
  switching::DriveSettings values;
  std::vector<Arguments> expected;  // after the first call, "net use * /d /y"
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

// A script written from values in a folder of its own beside the stand-in,
// run by cmd with the command line the program gives it unless told
// otherwise.
class ScriptUnderCmd {
 public:
  explicit ScriptUnderCmd(const std::wstring& name) : folder_(L"cmd-" + name) {}

  // The net calls of one run, after the first ("net use * /d /y"); printed
  // gets what cmd printed, exit_code how it ended.
  std::vector<Arguments> Run(const switching::DriveSettings& values, std::string& printed,
                             const std::wstring& switches = L"", DWORD* exit_code = nullptr) {
    EXPECT_TRUE(CopyFileW((TestProgramFolder() + L"\\standin\\net.exe").c_str(),
                          (folder_ / L"net.exe").c_str(), FALSE));
    Win32TextFiles files;
    Win32TextCodec codec;
    testing::FakeSettingsSource settings(values);
    DeleteFileW(Script().c_str());
    const auto outcome = switching::WriteDriveScript(files, codec, Script(), settings);
    EXPECT_FALSE(outcome.failure) << outcome.failure->what();

    // Wine's cmd reports a stand-in it found but could not start (a process
    // start that failed under load) as a command it cannot recognise. Such a
    // run says nothing about the script, so it is run once more, saying so;
    // any other fault fails the test.
    const std::wstring log = folder_ / L"net-calls.log";
    for (int run = 0; run < 2; ++run) {
      // A file of its own for each run: Wine may still hold the last one.
      const std::wstring output = folder_.Path() + L"." + std::to_wstring(run) + L".out";
      DeleteFileW(log.c_str());
      const DWORD code =
          RunScript(switches.empty() ? switching::ScriptCommandLine(L"cmd.exe", Script())
                                     : L"cmd.exe " + switches + L" \"" + Script() + L"\"",
                    folder_.Path(), output);
      if (exit_code != nullptr) *exit_code = code;
      printed = ReadFileBytes(output);
      DeleteFileW(output.c_str());
      if (printed.find("Can't recognize 'net ") == std::string::npos) break;
      std::cout << "[ RETRIED  ] Wine could not start the net stand-in; cmd printed:\n" << printed;
    }
    std::vector<Arguments> calls = NetCalls(log);
    if (calls.empty() || calls.front() != Arguments{L"use", L"*", L"/d", L"/y"}) {
      ADD_FAILURE() << "the script did not begin with net use * /d /y";
      return calls;
    }
    calls.erase(calls.begin());
    return calls;
  }

  std::wstring Script() const { return folder_ / L"MapDrives.bat"; }
  const ScratchFolder& Folder() const { return folder_; }

 private:
  ScratchFolder folder_;
};

class DriveScriptUnderCmdTest : public ::testing::TestWithParam<HostileCase> {};

TEST_P(DriveScriptUnderCmdTest, EachNetUseGetsExactlyItsArgumentsAndNothingElseRuns) {
  const HostileCase& c = GetParam();
  ScriptUnderCmd cmd(std::wstring(c.name, c.name + strlen(c.name)));
  std::string printed;
  EXPECT_EQ(cmd.Run(c.values, printed), c.expected) << "cmd printed:\n" << printed;

  // No redirection made a file: only the script, the stand-in and its log.
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(cmd.Folder().Path()))
    names.push_back(entry.path().filename().wstring());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::wstring>{L"MapDrives.bat", L"net-calls.log", L"net.exe"}));
}

// Delayed expansion, which a user's setting can turn on for every cmd, makes
// '!' expand and '^' vanish even inside quotes: the program turns it off.
TEST(DriveScriptUnderCmdSwitchesTest, DelayedExpansionOffKeepsAPasswordAsTyped) {
  switching::DriveSettings values{L"\\\\srv01\\home", L"\\\\srv01\\school", L"", L"", L"", L"jo",
                                  L"Pa^ss!word!1"};
  // Each run in a folder of its own: Wine may still hold the files of a run
  // that just ended.
  ScriptUnderCmd as_run(L"v-off"), with_v_on(L"v-on");
  std::string printed;
  const Arguments typed{L"use", L"h:", L"\\\\srv01\\home", L"/USER:jo", L"Pa^ss!word!1"};

  const auto calls = as_run.Run(values, printed);
  ASSERT_FALSE(calls.empty()) << printed;
  EXPECT_EQ(calls.front(), typed) << printed;

  const auto with_delayed_expansion = with_v_on.Run(values, printed, L"/d /v:on /c");
  ASSERT_FALSE(with_delayed_expansion.empty()) << printed;
  EXPECT_NE(with_delayed_expansion.front(), typed)
      << "cmd did not expand: the check proves nothing";
}

// Windows Terminal, as the default terminal, closes the console only after a
// success; a net that fails on the last line must not keep it open.
TEST(DriveScriptUnderCmdSwitchesTest, TheRunEndsWithSuccessWhateverNetReports) {
  switching::DriveSettings values{L"\\\\srv01\\home", L"", L"", L"", L"\\\\srv01\\gone", L"", L""};
  ScriptUnderCmd as_run(L"exit-0"), plain(L"exit-net");
  std::string printed;
  DWORD exit_code = 0;
  SetEnvironmentVariableW(L"NET_STANDIN_EXIT_CODE", L"2");  // as net does for a share it cannot map
  as_run.Run(values, printed, L"", &exit_code);
  EXPECT_EQ(exit_code, 0u) << printed;
  plain.Run(values, printed, L"/d /v:off /c", &exit_code);
  SetEnvironmentVariableW(L"NET_STANDIN_EXIT_CODE", nullptr);
  EXPECT_EQ(exit_code, 2u) << "cmd ended with success anyway: the check proves nothing";
}

switching::DriveSettings Values(std::wstring user_area, std::wstring username,
                                std::wstring password, std::wstring school, std::wstring staff,
                                std::wstring extra1, std::wstring extra2) {
  return {user_area, school, staff, extra1, extra2, username, password};
}

INSTANTIATE_TEST_SUITE_P(
    Values, DriveScriptUnderCmdTest,
    ::testing::Values(
        HostileCase{"ordinary",
                    Values(L"\\\\srv01\\home$\\jsmith", L"jsmith", L"Secret1", L"\\\\srv01\\school",
                           L"\\\\srv01\\staff", L"\\\\srv02\\media", L"\\\\srv02\\exams"),
                    {{L"use", L"h:", L"\\\\srv01\\home$\\jsmith", L"/USER:jsmith", L"Secret1"},
                     {L"use", L"i:", L"\\\\srv01\\school"},
                     {L"use", L"j:", L"\\\\srv01\\staff"},
                     {L"use", L"k:", L"\\\\srv02\\media"},
                     {L"use", L"l:", L"\\\\srv02\\exams"}}},
        HostileCase{
            "blanks-and-operators",
            Values(L"\\\\srv01\\home dir\\", L"J\u00FCrgen M\u00FCller", L"50%&x^y|z>w<v!(1);,=",
                   L"%PATH%", L"\\\\srv01\\staff & net use z: \\\\evil\\x", L"x > pwned.txt",
                   L"say \"hi\" & net use q: r"),
            {{L"use", L"h:", L"\\\\srv01\\home dir\\", L"/USER:J\u00FCrgen M\u00FCller",
              L"50%&x^y|z>w<v!(1);,="},
             {L"use", L"i:", L"%PATH%"},
             {L"use", L"j:", L"\\\\srv01\\staff & net use z: \\\\evil\\x"},
             {L"use", L"k:", L"x > pwned.txt"},
             {L"use", L"l:"}}},
        HostileCase{"unquoted-specials",
                    Values(L"\\\\srv01\\share\\", L"J\u00FCrgen", L"!PATH!^", L"%%1%~dp0", L"^",
                           L"a\\\\ b\\\\", L"(x)|net use p: q"),
                    {{L"use", L"h:", L"\\\\srv01\\share\\", L"/USER:J\u00FCrgen", L"!PATH!^"},
                     {L"use", L"i:", L"%%1%~dp0"},
                     {L"use", L"j:", L"^"},
                     {L"use", L"k:", L"a\\\\ b\\\\"},
                     {L"use", L"l:", L"(x)|net use p: q"}}},
        HostileCase{"credentials-left-out",
                    Values(L"\\\\srv01\\home", L"", L"pass word", L"", L"line\nbreak", L"\t",
                           L"\\\\srv02\\x"),
                    {{L"use", L"h:", L"\\\\srv01\\home", L"pass word"},
                     {L"use", L"i:"},
                     {L"use", L"j:"},
                     {L"use", L"k:"},
                     {L"use", L"l:", L"\\\\srv02\\x"}}}),
    [](const auto& info) {
      std::string name = info.param.name;
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

}  // namespace
}  // namespace rerevure::platform
