// Stands in for the system's icacls.exe in the installer tests' Wine prefix
// (Wine's own icacls changes nothing and says so only in a debug trace).
// It appends its command line, as UTF-8, to C:\rerevure-icacls-calls.txt so
// the test can compare what the setup program and the MSI really ran with
// folder-rights.txt, and exits with the number in
// C:\rerevure-icacls-exit.txt (0 when that file is missing), so the test can
// make icacls fail.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr wchar_t kRecord[] = L"C:\\rerevure-icacls-calls.txt";
constexpr wchar_t kExitCode[] = L"C:\\rerevure-icacls-exit.txt";

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

int wmain() {
  if (FILE* record = _wfopen(kRecord, L"ab")) {
    const std::string line = Utf8(GetCommandLineW()) + "\n";
    std::fwrite(line.data(), 1, line.size(), record);
    std::fclose(record);
  } else {
    return 90;
  }
  int code = 0;
  if (FILE* exit_code = _wfopen(kExitCode, L"rb")) {
    if (std::fscanf(exit_code, "%d", &code) != 1) code = 91;
    std::fclose(exit_code);
  }
  return code;
}
