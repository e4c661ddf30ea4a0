#include "platform/win32/Win32CommandInterpreter.h"

#include <utility>
#include <vector>

#include "platform/Processes.h"
#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32OwnedHandle.h"
#include "platform/win32/Win32PrivateMessages.h"
#include "platform/win32/Win32ProcessStart.h"

namespace rerevure::platform {
namespace {

// The exit code of a run the program ended: success, so that a terminal
// hosting its console (Windows Terminal as the default terminal closes only
// after a success) does not stay open to report an error.
constexpr UINT kEndedByTheProgram = 0;
// How long Terminate waits for the process to be gone: the system ends a
// process within moments, unless it waits on a driver.
constexpr DWORD kTerminationWait = 1000;

std::wstring SystemFolder() {
  std::vector<wchar_t> folder(MAX_PATH);
  for (;;) {
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) throw LastPlatformError();
    if (length < folder.size()) return std::wstring(folder.data(), length);
    folder.resize(length);
  }
}

// A job that ends every process in it once its last handle is closed: when
// the program lets go of it, ends, or crashes.
OwnedHandle KillOnCloseJob() {
  OwnedHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) throw LastPlatformError();
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof(limits))) {
    throw LastPlatformError();
  }
  return job;
}

}  // namespace

class Win32CommandInterpreter::Process final : public StartedProcess {
 public:
  Process(Win32CommandInterpreter& owner, OwnedHandle job, OwnedHandle process)
      : owner_(owner),
        job_(std::move(job)),
        process_(std::move(process)),
        posted_{owner.window_->Hwnd(), owner.next_id_++} {
    if (!RegisterWaitForSingleObject(&wait_, process_.Get(), &Signalled, &posted_, INFINITE,
                                     WT_EXECUTEONLYONCE)) {
      throw LastPlatformError();
    }
    owner_.processes_[posted_.id] = this;
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  // The job's handle closes last: whatever still runs in it ends. Without a
  // job only the interpreter can be ended. Fails only when it has ended.
  ~Process() override {
    StopWaiting();
    owner_.processes_.erase(posted_.id);
    if (!job_) TerminateProcess(process_.Get(), kEndedByTheProgram);
  }

  void WhenEnded(std::function<void()> ended) override { ended_ = std::move(ended); }

  bool WaitForEnd(std::chrono::milliseconds timeout) override {
    return WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) ==
           WAIT_OBJECT_0;
  }

  void Terminate() override {
    StopWaiting();
    ended_ = nullptr;
    // Fails only when everything has ended already.
    if (job_)
      TerminateJobObject(job_.Get(), kEndedByTheProgram);
    else
      TerminateProcess(process_.Get(), kEndedByTheProgram);
    WaitForSingleObject(process_.Get(), kTerminationWait);
  }

  // From the message window: taken first, since the call may end this object.
  void Ended() {
    StopWaiting();
    std::function<void()> ended = std::move(ended_);
    ended_ = nullptr;
    if (ended) ended();
  }

 private:
  struct Posted {
    HWND window;
    WPARAM id;
  };

  // On a thread of the pool; posted, so the end is handled on the thread
  // that owns the window. A failed post (a full queue) leaves the script to
  // the program's end or the next start.
  static void CALLBACK Signalled(void* context, BOOLEAN) {
    const auto* posted = static_cast<const Posted*>(context);
    PostMessageW(posted->window, kProcessEnded, posted->id, 0);
  }

  // Returns once a callback that runs has finished, so that posted_ is never
  // read after this object is gone. Fails only for a wait already gone.
  void StopWaiting() {
    if (wait_ != nullptr) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    wait_ = nullptr;
  }

  Win32CommandInterpreter& owner_;
  OwnedHandle job_;
  OwnedHandle process_;
  Posted posted_;
  HANDLE wait_ = nullptr;
  std::function<void()> ended_;
};

Win32CommandInterpreter::~Win32CommandInterpreter() = default;

void Win32CommandInterpreter::Ended(WPARAM id) {
  // A process let go of after its end was posted is no longer listed.
  if (const auto found = processes_.find(id); found != processes_.end()) found->second->Ended();
}

std::wstring Win32CommandInterpreter::Path() {
  if (auto path = EnvironmentVariable(L"ComSpec")) return *path;
  throw SystemError(ERROR_ENVVAR_NOT_FOUND);
}

std::unique_ptr<StartedProcess> Win32CommandInterpreter::StartInSystemFolder(
    const std::wstring& program, const std::wstring& command_line) {
  if (!window_) {
    window_ = std::make_unique<Win32MessageWindow>(errors_, [this](UINT message, WPARAM wparam) {
      if (message == kProcessEnded) Ended(wparam);
    });
  }
  const std::wstring folder = SystemFolder();
  OwnedHandle job = KillOnCloseJob();
  // Suspended until it is in the job, so that nothing it starts escapes it.
  StartedHandles started =
      StartProcess(program.c_str(), command_line, folder.c_str(), kSwShowNormal, CREATE_SUSPENDED);
  try {
    // Refused (see the header), the interpreter runs without the job.
    if (!assign_(job.Get(), started.process.Get())) job.Reset();
    if (ResumeThread(started.thread.Get()) == static_cast<DWORD>(-1)) throw LastPlatformError();
    return std::make_unique<Process>(*this, std::move(job), std::move(started.process));
  } catch (...) {
    // Never left suspended, with nobody to end it. Fails only when it has
    // ended already.
    if (started.process) TerminateProcess(started.process.Get(), kEndedByTheProgram);
    throw;
  }
}

}  // namespace rerevure::platform
