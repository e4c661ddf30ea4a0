#include "platform/win32/Win32SessionInstance.h"

// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32Owners.h"
#include "platform/win32/Win32PrivateMessages.h"

namespace rerevure::platform {
namespace {

constexpr const wchar_t* kReceiverClass = L"RerevureRequests";
// Marks a WM_COPYDATA as a request of this program, text in UTF-16.
constexpr ULONG_PTR kRequestMark = 0x52525631;  // "RRV1"
// A request is a few short words; anything longer is not one of ours.
constexpr DWORD kMaxRequestBytes = 1024;

// What the window mapping holds.
struct Published {
  std::uint64_t window;
};

// The user's SID as text, e.g. "S-1-5-21-...-1001".
std::wstring UserSid() {
  HANDLE raw_token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw_token)) throw LastPlatformError();
  const OwnedHandle token(raw_token);
  DWORD size = 0;
  GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);  // asks for the size only
  std::vector<std::uint8_t> buffer(size);
  if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, buffer.data(), size, &size)) {
    throw LastPlatformError();
  }
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) {
    throw LastPlatformError();
  }
  const LocalMemory<wchar_t> sid(text);
  return sid.get();
}

std::chrono::milliseconds Remaining(ULONGLONG deadline) {
  const ULONGLONG now = GetTickCount64();
  return std::chrono::milliseconds(now >= deadline ? 0 : deadline - now);
}

DWORD AsWait(std::chrono::milliseconds time) { return static_cast<DWORD>(time.count()); }

}  // namespace

Win32SessionInstance::Win32SessionInstance(ErrorReport& errors) : errors_(errors) {}

Win32SessionInstance::~Win32SessionInstance() {
  receiver_.reset();
  if (mutex_) ReleaseMutex(mutex_.Get());  // the process's end would release it as well
}

std::wstring Win32SessionInstance::Name(const wchar_t* suffix) const { return base_name_ + suffix; }

OwnedHandle Win32SessionInstance::ReadyEvent() const {
  // Manual reset: it stays set for every later start until a new holder
  // clears it.
  return OwnedHandle(CreateEventW(nullptr, TRUE, FALSE, Name(L"-Ready").c_str()));
}

bool Win32SessionInstance::Claim() {
  // Without a place to hold, the program still starts, as it always did.
  try {
    if (base_name_.empty()) base_name_ = L"Local\\Rerevure-" + UserSid();
  } catch (const PlatformError&) {
    return true;
  }
  OwnedHandle mutex(CreateMutexW(nullptr, FALSE, base_name_.c_str()));
  if (!mutex) {
    // Held by an instance of the same user running elevated, whose object
    // this token may not open.
    return GetLastError() != ERROR_ACCESS_DENIED;
  }
  const DWORD wait = WaitForSingleObject(mutex.Get(), 0);
  // Held by a running instance: this handle goes, and the holder's end
  // removes the object.
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  mutex_ = std::move(mutex);
  ready_ = ReadyEvent();
  // An earlier holder's window is gone: later starts wait for this one's.
  if (ready_) ResetEvent(ready_.Get());
  mapping_.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                    sizeof(Published), Name(L"-Window").c_str()));
  return true;
}

void Win32SessionInstance::Listen(std::function<void(const std::wstring&)> take,
                                  std::function<void()> carry_out) {
  if (!mutex_ || !mapping_ || !ready_) return;  // no place held: nobody can find this instance
  take_ = std::move(take);
  receiver_ = std::make_unique<Win32MessageWindow>(
      errors_, kReceiverClass,
      [carry_out = std::move(carry_out)](UINT message, WPARAM) {
        if (message == kHandedOverRequestsDue) carry_out();
      },
      [this](const COPYDATASTRUCT& data) { return Take(data); });
  {
    // The data stays in the mapping, which this process keeps open.
    const OwnedView view(MapViewOfFile(mapping_.Get(), FILE_MAP_WRITE, 0, 0, sizeof(Published)));
    if (!view) throw LastPlatformError();
    static_cast<Published*>(view.get())->window =
        static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(receiver_->Hwnd()));
  }
  if (!SetEvent(ready_.Get())) throw LastPlatformError();
}

bool Win32SessionInstance::Take(const COPYDATASTRUCT& data) {
  if (data.dwData != kRequestMark || data.cbData > kMaxRequestBytes ||
      data.cbData % sizeof(wchar_t) != 0) {
    return false;
  }
  // The sender is answered at once and the requests carried out afterwards,
  // from the loop: a switch may take a while, and the sender must not wait
  // on it. Without that later turn nothing is taken either.
  if (!PostMessageW(receiver_->Hwnd(), kHandedOverRequestsDue, 0, 0)) return false;
  take_(std::wstring(static_cast<const wchar_t*>(data.lpData), data.cbData / sizeof(wchar_t)));
  return true;
}

HandOverResult Win32SessionInstance::HandOver(const std::wstring& request, bool until_ended,
                                              std::chrono::milliseconds timeout) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  if (base_name_.empty()) return HandOverResult::NotRunning;

  // The holder publishes its window once its main window has loaded. A
  // holder that ends first (an /exit, a failed start, a crash) frees the
  // mutex instead, which this start then owns for a moment and gives back.
  const OwnedHandle ready = ReadyEvent();
  const OwnedHandle mutex(CreateMutexW(nullptr, FALSE, base_name_.c_str()));
  if (!ready) return HandOverResult::NoAnswer;
  const HANDLE waited[] = {ready.Get(), mutex.Get()};
  const DWORD wait =
      WaitForMultipleObjects(mutex ? 2 : 1, waited, FALSE, AsWait(Remaining(deadline)));
  if (wait == WAIT_OBJECT_0 + 1 || wait == WAIT_ABANDONED_0 + 1) {
    ReleaseMutex(mutex.Get());
    return HandOverResult::NotRunning;
  }
  if (wait != WAIT_OBJECT_0) return HandOverResult::NoAnswer;
  const OwnedHandle mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, Name(L"-Window").c_str()));
  if (!mapping) return HandOverResult::NotRunning;
  HWND window = nullptr;
  {
    const OwnedView view(MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(Published)));
    if (!view) return HandOverResult::NotRunning;
    window = reinterpret_cast<HWND>(
        static_cast<std::uintptr_t>(static_cast<const Published*>(view.get())->window));
  }

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
  const OwnedHandle process(until_ended ? OpenProcess(SYNCHRONIZE, FALSE, process_id) : nullptr);

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
  return WaitForSingleObject(process.Get(), AsWait(Remaining(deadline))) == WAIT_OBJECT_0
             ? HandOverResult::Accepted
             : HandOverResult::NoAnswer;
}

}  // namespace rerevure::platform
