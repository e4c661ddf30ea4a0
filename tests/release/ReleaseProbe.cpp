// What the installer tests need from inside Wine, one command per run:
//   sd-get PATH          print PATH's owner and DACL as SDDL
//   sd-set PATH SDDL     give PATH the owner and DACL of SDDL (protected when
//                        SDDL says "D:P")
//   user-sid             print the SID of the user running the probe
//   school-switch MS     press "School Proxy &ON" in the running program's
//                        main window, print the text of the box that answers
//                        and close it with OK
//   exit-program MS      press "&Exit" and wait for the program to end
//   linger MARKER MS [LOCK]
//                        stand in for a copy of the program that /exit does
//                        not reach, as one in another user's session: run
//                        from the program's path, it keeps that file in
//                        use; it writes MARKER once running and ends when
//                        MARKER is removed (failing after MS). With LOCK, it
//                        first holds that file open as the setup program
//                        holds its lock (no sharing, deleted on close)
//   run COMMANDLINE MS   start COMMANDLINE exactly as given, as a deployment
//                        tool does, wait up to MS for it to end and print
//                        "exit N", its whole exit code (Linux sees a Windows
//                        exit code cut to 8 bits)
//   answer-box TITLE MS  wait for a message box of that title (any
//                        process's), print its text and close it with OK
// It drives the program only from outside, with window messages. Exit code
// 0 on success, 1 on failure (with a message on stderr), 2 on bad usage.
#include <windows.h>
// clang-format off
#include <aclapi.h>
#include <sddl.h>
// clang-format on

#include <cstdio>
#include <cwchar>
#include <memory>
#include <string>

namespace {

constexpr wchar_t kMainWindowTitle[] = L"Viriru Proxy Switcher v1.6";
constexpr wchar_t kSchoolButton[] = L"School Proxy &ON";
constexpr wchar_t kExitButton[] = L"&Exit";
constexpr int kMessageBoxTextId = 0xFFFF;

struct LocalDeleter {
  void operator()(void* p) const { LocalFree(p); }
};
template <typename T>
using LocalPtr = std::unique_ptr<T, LocalDeleter>;

struct HandleCloser {
  void operator()(HANDLE h) const { CloseHandle(h); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

int Fail(const wchar_t* what, DWORD error) {
  std::fwprintf(stderr, L"%ls failed: error %lu\n", what, error);
  return 1;
}

int SdGet(const wchar_t* path) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  const SECURITY_INFORMATION info = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  const DWORD rc =
      GetNamedSecurityInfoW(path, SE_FILE_OBJECT, info, nullptr, nullptr, nullptr, nullptr, &raw);
  if (rc != ERROR_SUCCESS) return Fail(L"GetNamedSecurityInfoW", rc);
  LocalPtr<void> sd(raw);
  wchar_t* text = nullptr;
  if (!ConvertSecurityDescriptorToStringSecurityDescriptorW(sd.get(), SDDL_REVISION_1, info, &text,
                                                            nullptr)) {
    return Fail(L"ConvertSecurityDescriptorToStringSecurityDescriptorW", GetLastError());
  }
  LocalPtr<wchar_t> owned(text);
  std::wprintf(L"%ls\n", owned.get());
  return 0;
}

int SdSet(const wchar_t* path, const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR raw = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &raw, nullptr)) {
    return Fail(L"ConvertStringSecurityDescriptorToSecurityDescriptorW", GetLastError());
  }
  LocalPtr<void> sd(raw);
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  PSID owner = nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorDacl(sd.get(), &present, &dacl, &defaulted);
  GetSecurityDescriptorOwner(sd.get(), &owner, &defaulted);
  GetSecurityDescriptorControl(sd.get(), &control, &revision);
  SECURITY_INFORMATION info = DACL_SECURITY_INFORMATION;
  info |= (control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                        : UNPROTECTED_DACL_SECURITY_INFORMATION;
  if (owner) info |= OWNER_SECURITY_INFORMATION;
  const DWORD rc = SetNamedSecurityInfoW(const_cast<wchar_t*>(path), SE_FILE_OBJECT, info, owner,
                                         nullptr, dacl, nullptr);
  return rc == ERROR_SUCCESS ? 0 : Fail(L"SetNamedSecurityInfoW", rc);
}

int UserSid() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
    return Fail(L"OpenProcessToken", GetLastError());
  }
  Handle token(raw);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
  std::unique_ptr<BYTE[]> buffer(new BYTE[size]);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.get(), size, &size)) {
    return Fail(L"GetTokenInformation", GetLastError());
  }
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid, &text)) {
    return Fail(L"ConvertSidToStringSidW", GetLastError());
  }
  LocalPtr<wchar_t> owned(text);
  std::wprintf(L"%ls\n", owned.get());
  return 0;
}

std::wstring WindowText(HWND window) {
  // WM_GETTEXT, unlike GetWindowText, reads a control of another process.
  wchar_t text[512] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, sizeof text / sizeof text[0],
                      reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
  return text;
}

struct ChildSearch {
  const wchar_t* text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  if (WindowText(child) == search->text) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

HWND FindButton(HWND top, const wchar_t* caption) {
  ChildSearch search{caption};
  EnumChildWindows(top, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Polls every 100 ms until find() gives a window or the time is up.
template <typename Find>
HWND WaitFor(DWORD timeout_ms, Find find) {
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  for (;;) {
    if (HWND found = find()) return found;
    if (GetTickCount64() > until) return nullptr;
    Sleep(100);
  }
}

struct BoxSearch {
  DWORD process;
  HWND found = nullptr;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  wchar_t cls[32] = {};
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && IsWindowVisible(window) && GetClassNameW(window, cls, 32) &&
      std::wcscmp(cls, L"#32770") == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND MainWindow(DWORD timeout_ms) {
  return WaitFor(timeout_ms, [] { return FindWindowW(nullptr, kMainWindowTitle); });
}

// Prints a message box's text and closes it with OK.
void Answer(HWND box) {
  std::wprintf(L"%ls\n", WindowText(GetDlgItem(box, kMessageBoxTextId)).c_str());
  std::fflush(stdout);
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

int SchoolSwitch(DWORD timeout_ms) {
  HWND main = MainWindow(timeout_ms);
  if (!main) return Fail(L"finding the main window", ERROR_NOT_FOUND);
  HWND button = WaitFor(timeout_ms, [&] { return FindButton(main, kSchoolButton); });
  if (!button) return Fail(L"finding \"School Proxy &ON\"", ERROR_NOT_FOUND);
  DWORD process = 0;
  GetWindowThreadProcessId(main, &process);
  // Posted: the click handler blocks in its message box until it is closed.
  PostMessageW(button, BM_CLICK, 0, 0);
  HWND box = WaitFor(timeout_ms, [&] {
    BoxSearch search{process};
    EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
  if (!box) return Fail(L"waiting for the message box", ERROR_TIMEOUT);
  Answer(box);
  return 0;
}

int AnswerBox(const wchar_t* title, DWORD timeout_ms) {
  HWND box = WaitFor(timeout_ms, [&] { return FindWindowW(L"#32770", title); });
  if (!box) return Fail(L"waiting for the message box", ERROR_TIMEOUT);
  Answer(box);
  return 0;
}

// "running" while the program's main window exists, else "ended".
int ProgramState() {
  std::wprintf(L"%ls\n", FindWindowW(nullptr, kMainWindowTitle) ? L"running" : L"ended");
  std::fflush(stdout);
  return 0;
}

int ExitProgram(DWORD timeout_ms) {
  HWND main = MainWindow(timeout_ms);
  if (!main) return Fail(L"finding the main window", ERROR_NOT_FOUND);
  HWND button = FindButton(main, kExitButton);
  if (!button) return Fail(L"finding \"&Exit\"", ERROR_NOT_FOUND);
  DWORD id = 0;
  GetWindowThreadProcessId(main, &id);
  Handle process(OpenProcess(SYNCHRONIZE, FALSE, id));
  if (!process) return Fail(L"OpenProcess", GetLastError());
  PostMessageW(button, BM_CLICK, 0, 0);
  if (WaitForSingleObject(process.get(), timeout_ms) != WAIT_OBJECT_0) {
    return Fail(L"waiting for the program to end", ERROR_TIMEOUT);
  }
  return 0;
}

// The program deletes the drive script once it has run. Opened here, without
// delete sharing, as soon as it appears, the script stays for the test to
// look at: the program's delete fails, which it ignores. Held until this
// probe is ended, or for MS.
int HoldFile(const wchar_t* path, DWORD timeout_ms) {
  // Polled often: the script may live for only a second.
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  HANDLE file = INVALID_HANDLE_VALUE;
  while ((file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) ==
         INVALID_HANDLE_VALUE) {
    if (GetTickCount64() > until) return Fail(L"waiting for the file", ERROR_TIMEOUT);
    Sleep(10);
  }
  const Handle held(file);
  Sleep(timeout_ms);
  return 0;
}

int Linger(const wchar_t* marker, DWORD timeout_ms, const wchar_t* lock) {
  Handle held;
  if (lock) {
    const HANDLE file = CreateFileW(lock, GENERIC_READ | DELETE, 0, nullptr, OPEN_ALWAYS,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail(L"holding the lock", GetLastError());
    held.reset(file);
  }
  FILE* file = _wfopen(marker, L"wb");
  if (!file) return Fail(L"writing the marker", ERROR_WRITE_FAULT);
  std::fclose(file);
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  while (GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES) {
    if (GetTickCount64() > until) return Fail(L"waiting for the marker to go", ERROR_TIMEOUT);
    Sleep(100);
  }
  return 0;
}

int Run(const wchar_t* command_line, DWORD timeout_ms) {
  std::wstring line = command_line;  // CreateProcessW may write to it
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return Fail(L"CreateProcessW", GetLastError());
  }
  const Handle process(started.hProcess), thread(started.hThread);
  if (WaitForSingleObject(process.get(), timeout_ms) != WAIT_OBJECT_0) {
    return Fail(L"waiting for it to end", ERROR_TIMEOUT);
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return Fail(L"GetExitCodeProcess", GetLastError());
  std::wprintf(L"exit %lu\n", code);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"sd-get" && argc == 3) return SdGet(argv[2]);
  if (command == L"sd-set" && argc == 4) return SdSet(argv[2], argv[3]);
  if (command == L"user-sid" && argc == 2) return UserSid();
  if (command == L"school-switch" && argc == 3) return SchoolSwitch(std::wcstoul(argv[2], 0, 10));
  if (command == L"exit-program" && argc == 3) return ExitProgram(std::wcstoul(argv[2], 0, 10));
  if (command == L"program-state" && argc == 2) return ProgramState();
  if (command == L"hold-file" && argc == 4) return HoldFile(argv[2], std::wcstoul(argv[3], 0, 10));
  if (command == L"linger" && (argc == 4 || argc == 5)) {
    return Linger(argv[2], std::wcstoul(argv[3], 0, 10), argc == 5 ? argv[4] : nullptr);
  }
  if (command == L"run" && argc == 4) return Run(argv[2], std::wcstoul(argv[3], 0, 10));
  if (command == L"answer-box" && argc == 4)
    return AnswerBox(argv[2], std::wcstoul(argv[3], 0, 10));
  std::fwprintf(
      stderr,
      L"usage: release_probe sd-get PATH | sd-set PATH SDDL | user-sid |"
      L" school-switch MS | exit-program MS | hold-file PATH MS | linger MARKER MS [LOCK] |"
      L" answer-box TITLE MS | run COMMANDLINE MS\n");
  return 2;
}
