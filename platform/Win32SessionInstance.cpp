#include "platform/Win32SessionInstance.h"

// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Win32LastError.h"
#include "platform/Win32Window.h"

namespace rerevure::platform {
namespace {

constexpr const wchar_t* kReceiverClass = L"RerevureRequests";
// Marks a WM_COPYDATA as a request of this program, text in UTF-16.
constexpr ULONG_PTR kRequestMark = 0x52525631;  // "RRV1"
// A request is a few short words; anything longer is not one of ours.
constexpr DWORD kMaxRequestBytes = 1024;
// Posted to the receiver itself: a request accepted earlier is carried out.
constexpr UINT kCarryOut = WM_APP + 1;

// What the window mapping holds.
struct Published {
  std::uint64_t window;
};

// The user's SID as text, e.g. "S-1-5-21-...-1001".
std::wstring UserSid() {
  HANDLE raw_token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw_token)) throw LastPlatformError();
  const std::unique_ptr<std::remove_pointer_t<HANDLE>, decltype(&CloseHandle)> token(raw_token,
                                                                                     &CloseHandle);
  DWORD size = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);  // asks for the size only
  std::vector<std::uint8_t> buffer(size);
  if (size == 0 || !GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
    throw LastPlatformError();
  }
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    throw LastPlatformError();
  }
  std::wstring sid(text);
  LocalFree(text);
  return sid;
}

std::chrono::milliseconds Remaining(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return std::chrono::milliseconds(now >= deadline ? 0 : deadline - now);
}

DWORD AsWait(std::chrono::milliseconds time) { return static_cast<DWORD>(time.count()); }

}  // namespace

// The message-only window later starts send their requests to. It answers at
// once and carries a request out afterwards, from its own queue: a switch may
// show a box or take a while, and the sender must not wait on it.
class Win32SessionInstance::Receiver final : private Win32Window {
 public:
  Receiver(ErrorReport& errors, std::function<void(const std::wstring&)> on_request)
      : Win32Window(errors), on_request_(std::move(on_request)) {
    WNDCLASSEXW window_class{};
    window_class.lpszClassName = kReceiverClass;
    RegisterClassOnce(window_class);
    Create(0, kReceiverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
  }
  using Win32Window::Hwnd;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
      if (data == nullptr || data->dwData != kRequestMark || data->cbData > kMaxRequestBytes ||
          data->cbData % sizeof(wchar_t) != 0) {
        return FALSE;
      }
      pending_.emplace_back(static_cast<const wchar_t*>(data->lpData),
                            data->cbData / sizeof(wchar_t));
      if (!PostMessageW(Hwnd(), kCarryOut, 0, 0)) {
        pending_.pop_back();
        return FALSE;
      }
      return TRUE;
    }
    if (message == kCarryOut && !pending_.empty()) {
      const std::wstring request = std::move(pending_.front());
      pending_.pop_front();
      on_request_(request);
      return 0;
    }
    return Win32Window::HandleMessage(message, wparam, lparam);
  }

  std::function<void(const std::wstring&)> on_request_;
  std::deque<std::wstring> pending_;
};

Win32SessionInstance::Win32SessionInstance(ErrorReport& errors) : errors_(errors) {}

Win32SessionInstance::~Win32SessionInstance() {
  receiver_.reset();
  if (mutex_) ReleaseMutex(mutex_.get());  // the process's end would release it as well
}

std::wstring Win32SessionInstance::Name(const wchar_t* suffix) const { return base_name_ + suffix; }

Win32SessionInstance::Handle Win32SessionInstance::ReadyEvent() const {
  // Manual reset: it stays set for every later start until a new holder
  // clears it.
  return Handle(CreateEventW(nullptr, TRUE, FALSE, Name(L"-Ready").c_str()));
}

bool Win32SessionInstance::Claim() {
  // Without a place to hold, the program still starts, as it always did.
  try {
    if (base_name_.empty()) base_name_ = L"Local\\Rerevure-" + UserSid();
  } catch (const PlatformError&) {
    return true;
  }
  Handle mutex(CreateMutexW(nullptr, FALSE, base_name_.c_str()));
  if (!mutex) {
    // Held by an instance of the same user running elevated, whose object
    // this token may not open.
    return GetLastError() != ERROR_ACCESS_DENIED;
  }
  const DWORD wait = WaitForSingleObject(mutex.get(), 0);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED)
    return false;  // the handle goes: the holder's
                   // end removes the object
  mutex_ = std::move(mutex);
  ready_ = ReadyEvent();
  // An earlier holder's window is gone: later starts wait for this one's.
  if (ready_) ResetEvent(ready_.get());
  mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(Published), Name(L"-Window").c_str()));
  return true;
}

void Win32SessionInstance::Listen(std::function<void(const std::wstring&)> on_request) {
  if (!mutex_ || !mapping_ || !ready_) return;  // no place held: nobody can find this instance
  receiver_ = std::make_unique<Receiver>(errors_, std::move(on_request));
  void* view = MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(Published));
  if (view == nullptr) throw LastPlatformError();
  static_cast<Published*>(view)->window =
      static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(receiver_->Hwnd()));
  UnmapViewOfFile(view);  // the data stays in the mapping, which this process keeps open
  if (!SetEvent(ready_.get())) throw LastPlatformError();
}

HandOverResult Win32SessionInstance::HandOver(const std::wstring& request, bool until_ended,
                                              std::chrono::milliseconds timeout) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  if (base_name_.empty()) return HandOverResult::NotRunning;

  // The holder publishes its window once its main window has loaded. A
  // holder that ends first (an /exit, a failed start, a crash) frees the
  // mutex instead, which this start then owns for a moment and gives back.
  const Handle ready = ReadyEvent();
  const Handle mutex(CreateMutexW(nullptr, FALSE, base_name_.c_str()));
  if (!ready) return HandOverResult::NoAnswer;
  const HANDLE waited[] = {ready.get(), mutex.get()};
  const DWORD wait =
      WaitForMultipleObjects(mutex ? 2 : 1, waited, FALSE, AsWait(Remaining(deadline)));
  if (wait == WAIT_OBJECT_0 + 1 || wait == WAIT_ABANDONED_0 + 1) {
    ReleaseMutex(mutex.get());
    return HandOverResult::NotRunning;
  }
  if (wait != WAIT_OBJECT_0) return HandOverResult::NoAnswer;
  const Handle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, Name(L"-Window").c_str()));
  if (!mapping) return HandOverResult::NotRunning;
  const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof(Published));
  if (view == nullptr) return HandOverResult::NotRunning;
  const auto window = reinterpret_cast<HWND>(
      static_cast<std::uintptr_t>(static_cast<const Published*>(view)->window));
  UnmapViewOfFile(view);  // only read from

  // A handle left by a holder that has ended may since name another window.
  wchar_t class_name[64] = L"";
  if (window == nullptr || !IsWindow(window) || !GetClassNameW(window, class_name, 64) ||
      std::wstring_view(class_name) != kReceiverClass) {
    return HandOverResult::NotRunning;
  }
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  // This start may take the foreground, having just been started by the
  // user; it passes that on, so the running window can come forward. Fails
  // harmlessly when this start has no such right (started by a script).
  AllowSetForegroundWindow(process_id);
  const Handle process(until_ended ? OpenProcess(SYNCHRONIZE, FALSE, process_id) : nullptr);

  COPYDATASTRUCT data{};
  data.dwData = kRequestMark;
  data.cbData = static_cast<DWORD>(request.size() * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(request.data());
  DWORD_PTR accepted = FALSE;
  if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                           SMTO_ABORTIFHUNG, std::max<DWORD>(AsWait(Remaining(deadline)), 1),
                           &accepted)) {
    return IsWindow(window) ? HandOverResult::NoAnswer : HandOverResult::NotRunning;
  }
  if (!accepted) return HandOverResult::NoAnswer;
  if (!until_ended || !process) return HandOverResult::Accepted;
  return WaitForSingleObject(process.get(), AsWait(Remaining(deadline))) == WAIT_OBJECT_0
             ? HandOverResult::Accepted
             : HandOverResult::NoAnswer;
}

}  // namespace rerevure::platform
