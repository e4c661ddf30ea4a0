#include "platform/Win32CommandInterpreter.h"

#include <windows.h>

#include <utility>
#include <vector>

#include "platform/Processes.h"
#include "platform/Win32LastError.h"
#include "platform/Win32MessageLoop.h"
#include "platform/Win32ProcessStart.h"

namespace rerevure::platform {
namespace {

class Win32StartedProcess final : public StartedProcess {
 public:
  explicit Win32StartedProcess(OwnedHandle process) : process_(std::move(process)) {}
  // The loop must not wait on the handle once it is closed.
  ~Win32StartedProcess() override { Win32MessageLoop::Unwatch(process_.Get()); }

  void WhenEnded(std::function<void()> ended) override {
    Win32MessageLoop::Unwatch(process_.Get());
    Win32MessageLoop::Watch(process_.Get(), std::move(ended));
  }

 private:
  OwnedHandle process_;
};

std::wstring SystemFolder() {
  std::vector<wchar_t> folder(MAX_PATH);
  for (;;) {
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) throw LastPlatformError();
    if (length < folder.size()) return std::wstring(folder.data(), length);
    folder.resize(length);
  }
}

}  // namespace

std::wstring Win32CommandInterpreter::Path() {
  std::vector<wchar_t> value(MAX_PATH);
  for (;;) {
    const DWORD length =
        GetEnvironmentVariableW(L"ComSpec", value.data(), static_cast<DWORD>(value.size()));
    if (length == 0) throw LastPlatformError();
    if (length < value.size()) return std::wstring(value.data(), length);
    value.resize(length);
  }
}

std::unique_ptr<StartedProcess> Win32CommandInterpreter::StartInSystemFolder(
    const std::wstring& program, const std::wstring& command_line) {
  const std::wstring folder = SystemFolder();
  // The thread's handle is never used and goes here; the process's is kept.
  StartedHandles started =
      StartProcess(program.c_str(), command_line, folder.c_str(), kSwShowNormal);
  return std::make_unique<Win32StartedProcess>(std::move(started.process));
}

}  // namespace rerevure::platform
