// A stand-in for net.exe: appends the arguments it was started with, as the C
// runtime split them, to net-calls.log beside itself. Each call is one record
// (arguments separated by 0x1F, the record ended by 0x1E), in UTF-8. It exits
// with NET_STANDIN_EXIT_CODE when that is set, as net does when it fails.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
  wchar_t self[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring log(self, length);
  log = log.substr(0, log.find_last_of(L'\\') + 1) + L"net-calls.log";

  std::wstring record;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) record += L'\x1f';
    record += argv[i];
  }
  record += L'\x1e';

  std::string bytes(record.size() * 4, '\0');
  bytes.resize(WideCharToMultiByte(CP_UTF8, 0, record.data(), static_cast<int>(record.size()),
                                   bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr));

  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < 50 && file == INVALID_HANDLE_VALUE; ++attempt) {
    if (attempt > 0) Sleep(20);
    file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) {
    fwprintf(stderr, L"net stand-in: cannot open %ls: error %lu\n", log.c_str(), GetLastError());
    return 2;
  }
  DWORD written = 0;
  const BOOL ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok) return 2;
  wchar_t exit_code[16] = {};
  return GetEnvironmentVariableW(L"NET_STANDIN_EXIT_CODE", exit_code, 16) ? _wtoi(exit_code) : 0;
}
