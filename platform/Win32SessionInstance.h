#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "platform/ErrorReport.h"
#include "platform/SessionInstance.h"

namespace rerevure::platform {

// The place is a mutex in the session's own namespace, named for the user's
// SID: "Local\Rerevure-<SID>". Its owner is the running instance; ownership
// passes with the owning process's end, even a crash (the mutex is then
// abandoned, and the next start takes it).
//
// The running instance publishes a message-only window that takes requests
// as WM_COPYDATA: its handle in a file mapping "Local\Rerevure-<SID>-Window",
// an event "...-Ready" set once it is there. Everything is found by the
// user's name in the session's namespace, so another user's instance (fast
// user switching, or a program run as another user on the same desktop) is
// never reached. A later start grants the running instance the right to take
// the foreground (it has that right itself, having just been started), so
// that /show brings the window forward as a tray click does.
class Win32SessionInstance final : public SessionInstance {
 public:
  explicit Win32SessionInstance(ErrorReport& errors);
  ~Win32SessionInstance() override;
  Win32SessionInstance(const Win32SessionInstance&) = delete;
  Win32SessionInstance& operator=(const Win32SessionInstance&) = delete;

  bool Claim() override;
  HandOverResult HandOver(const std::wstring& request, bool until_ended,
                          std::chrono::milliseconds timeout) override;
  void Listen(std::function<void(const std::wstring&)> on_request) override;

 private:
  struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
  };
  using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;
  class Receiver;

  std::wstring Name(const wchar_t* suffix) const;
  Handle ReadyEvent() const;

  ErrorReport& errors_;
  std::wstring base_name_;  // "Local\Rerevure-<SID>"
  Handle mutex_;
  Handle ready_;
  Handle mapping_;
  std::unique_ptr<Receiver> receiver_;
};

}  // namespace rerevure::platform
