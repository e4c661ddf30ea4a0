// A stand-in for a program the tested program starts (net.exe, the browser):
// it records how it was started and does nothing else, so that the test
// machine's drive mappings are never touched. Each start appends one line to
// the file named by REREVURE_STANDIN_LOG, in UTF-8:
//   <program name> TAB <arguments as given> TAB <show-window code or ->
// Two more variables, when set: REREVURE_STANDIN_SCRIPT names the drive
// script, which exists only while it runs: each start copies it to the log's
// path + ".script". REREVURE_STANDIN_DELAY_MS makes each start take that long.
// REREVURE_STANDIN_WAIT_AT makes a start whose arguments begin with its text
// record itself and then wait, as Windows' net waits for a user name nobody
// types: it does not end by itself within any case's time (after five
// minutes it does, so that a failed case leaves nothing behind for good).

#include <windows.h>

#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                      nullptr, nullptr);
  return out;
}

// The command line after the program name, as the parent passed it.
std::wstring Arguments(const wchar_t* line) {
  const wchar_t* p = line;
  if (*p == L'"') {
    for (++p; *p && *p != L'"'; ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && *p != L' ' && *p != L'\t') ++p;
  }
  if (*p == L' ' || *p == L'\t') ++p;  // the one separator; the rest is kept verbatim
  return p;
}

}  // namespace

int wmain() {
  wchar_t log[MAX_PATH * 2] = {};
  if (!GetEnvironmentVariableW(L"REREVURE_STANDIN_LOG", log, MAX_PATH * 2)) return 0;

  wchar_t module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring name = module;
  name = name.substr(name.find_last_of(L"\\/") + 1);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const std::wstring show = (startup.dwFlags & STARTF_USESHOWWINDOW)
                                ? std::to_wstring(startup.wShowWindow)
                                : std::wstring(L"-");

  wchar_t script[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"REREVURE_STANDIN_SCRIPT", script, MAX_PATH))
    CopyFileW(script, (std::wstring(log) + L".script").c_str(), FALSE);
  wchar_t delay[16] = {};
  if (GetEnvironmentVariableW(L"REREVURE_STANDIN_DELAY_MS", delay, 16))
    Sleep(static_cast<DWORD>(_wtoi(delay)));

  const std::wstring arguments = Arguments(GetCommandLineW());
  const std::string line = Utf8(name + L"\t" + arguments + L"\t" + show) + "\n";
  // Several stand-ins may run at once (a script starts one per line).
  bool recorded = false;
  for (int attempt = 0; attempt < 100 && !recorded; ++attempt) {
    HANDLE file =
        CreateFileW(log, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
      CloseHandle(file);
      recorded = true;
    } else {
      Sleep(10);
    }
  }
  wchar_t wait_at[64] = {};
  if (recorded && GetEnvironmentVariableW(L"REREVURE_STANDIN_WAIT_AT", wait_at, 64) &&
      arguments.rfind(wait_at, 0) == 0) {
    Sleep(5 * 60 * 1000);
  }
  return recorded ? 0 : 1;
}
