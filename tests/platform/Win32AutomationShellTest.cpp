#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "ScratchFolder.h"
#include "platform/PlatformError.h"
#include "platform/win32/Win32AutomationShell.h"
#include "platform/win32/Win32Com.h"

namespace rerevure::platform {
namespace {

const wchar_t kScratchKey[] = L"Software\\RerevureAdapterTest";
const std::wstring kScratchPath = L"HKEY_CURRENT_USER\\Software\\RerevureAdapterTest\\";

class Win32AutomationShellTest : public ::testing::Test {
 protected:
  Win32AutomationShellTest() { RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }
  ~Win32AutomationShellTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, kScratchKey); }

  // Writes a value behind the shell object's back.
  void SetRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kScratchKey, name, type, data, size),
              ERROR_SUCCESS);
  }

  ComInitializer com;
  Win32AutomationShellFactory factory;
};

TEST_F(Win32AutomationShellTest, TextWrittenThroughTheShellIsTheRegistrysAndReadsBack) {
  const std::wstring text = L"\\\\srv01\\my share J\u00FCrgen & 50% \u4E2D";
  const auto shell = factory.Create(L"WScript.Shell");
  shell->RegWrite(kScratchPath + L"Text", text, L"REG_SZ");
  shell->RegWrite(kScratchPath + L"Empty", L"", L"REG_SZ");

  wchar_t raw[128] = L"";
  DWORD size = sizeof raw, type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kScratchKey, L"Text", RRF_RT_ANY, &type, raw, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(raw), text);

  // Read back through a fresh object, as the settings window does.
  const auto reader = factory.Create(L"wscript.shell");
  EXPECT_EQ(reader->RegRead(kScratchPath + L"Text"), text);
  EXPECT_EQ(reader->RegRead(kScratchPath + L"Empty"), L"");
}

TEST_F(Win32AutomationShellTest, ADwordIsWrittenFromItsTextAndReadAsItsDigits) {
  const auto shell = factory.Create(L"WScript.Shell");
  shell->RegWrite(kScratchPath + L"Number", L"1", L"REG_DWORD");

  DWORD value = 0, size = sizeof value, type = 0;
  ASSERT_EQ(
      RegGetValueW(HKEY_CURRENT_USER, kScratchKey, L"Number", RRF_RT_ANY, &type, &value, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(shell->RegRead(kScratchPath + L"Number"), L"1");

  const DWORD big = 123456789;
  SetRaw(L"Big", REG_DWORD, &big, sizeof big);
  EXPECT_EQ(shell->RegRead(kScratchPath + L"Big"), L"123456789");
}

TEST_F(Win32AutomationShellTest, ArraysReadAsTheirElementsJoinedByBlanks) {
  const unsigned char bytes[] = {1, 2, 255};
  SetRaw(L"Binary", REG_BINARY, bytes, sizeof bytes);
  const wchar_t strings[] = L"first\0second\0";
  SetRaw(L"Multi", REG_MULTI_SZ, strings, sizeof strings);

  const auto shell = factory.Create(L"WScript.Shell");
  EXPECT_EQ(shell->RegRead(kScratchPath + L"Binary"), L"1 2 255");
  EXPECT_EQ(shell->RegRead(kScratchPath + L"Multi"), L"first second");
}

TEST_F(Win32AutomationShellTest, AMissingValueFailsWithNumberAndDescription) {
  const auto shell = factory.Create(L"WScript.Shell");
  try {
    shell->RegRead(kScratchPath + L"Missing");
    ADD_FAILURE() << "reading a missing value succeeded";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), static_cast<std::int32_t>(0x80070002)) << std::hex << e.Number();
    EXPECT_FALSE(e.Description().empty());
    EXPECT_EQ(e.Description().find(L"System error"), std::wstring::npos) << e.what();
  }
}

TEST_F(Win32AutomationShellTest, AnUnknownProgIdFailsWithNumberAndDescription) {
  try {
    factory.Create(L"Rerevure.NoSuchObject");
    ADD_FAILURE() << "created an object that does not exist";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.Number(), static_cast<std::int32_t>(CO_E_CLASSSTRING)) << std::hex << e.Number();
    // Wine has no text for this error; the number is then named in the description.
    EXPECT_FALSE(e.Description().empty());
    EXPECT_EQ(e.Description().find(L"System error"), std::wstring::npos) << e.what();
  }
}

TEST_F(Win32AutomationShellTest, RunStartsTheCommandWithoutWaitingForIt) {
  ScratchFolder folder(L"run");
  const std::wstring marker = folder / L"ran.txt";
  const auto shell = factory.Create(L"WScript.Shell");

  // The command pauses before it leaves its mark; Run is back before that,
  // since it does not wait for the process.
  const ULONGLONG started = GetTickCount64();
  shell->Run(L"cmd.exe /c ping -n 3 127.0.0.1 >nul & echo ran> \"" + marker + L"\"");
  EXPECT_EQ(GetFileAttributesW(marker.c_str()), INVALID_FILE_ATTRIBUTES);

  // cmd writes the echo's text and its line end separately: wait for both.
  while (ReadFileBytes(marker) != "ran\r\n" && GetTickCount64() - started < 30000) Sleep(100);
  EXPECT_EQ(ReadFileBytes(marker), "ran\r\n");
}

// Closes the error box that Wine's shell shows, when a display exists, for a
// program it cannot start; without this the test would wait on it for ever.
class ErrorBoxCloser {
 public:
  ErrorBoxCloser()
      : thread_([this] {
          while (!stop_) {
            EnumWindows(CloseOwnBox, reinterpret_cast<LPARAM>(&closed_));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
          }
        }) {}
  ~ErrorBoxCloser() {
    stop_ = true;
    thread_.join();
  }
  bool ClosedAny() const { return closed_ > 0; }

 private:
  static BOOL CALLBACK CloseOwnBox(HWND hwnd, LPARAM closed) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[16] = {};
    GetClassNameW(hwnd, cls, 16);
    if (pid == GetCurrentProcessId() && std::wstring(cls) == L"#32770" && IsWindowVisible(hwnd)) {
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
      ++*reinterpret_cast<std::atomic<int>*>(closed);
    }
    return TRUE;
  }

  std::atomic<int> closed_{0};
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST_F(Win32AutomationShellTest, AFailingRunReportsTheObjectsError) {
  const auto shell = factory.Create(L"WScript.Shell");
  ErrorBoxCloser closer;
  try {
    shell->Run(L"C:\\Rerevure\\no-such-program.exe");
    // With a display, Wine's shell tells the user itself, in its own error
    // box, and then reports success: the failure is still not silent.
    EXPECT_TRUE(closer.ClosedAny()) << "started a program that does not exist, silently";
  } catch (const PlatformError& e) {
    EXPECT_NE(e.Number(), 0);
    EXPECT_FALSE(e.Description().empty());
  }
}

}  // namespace
}  // namespace rerevure::platform
