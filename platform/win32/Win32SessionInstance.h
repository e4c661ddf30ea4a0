#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/ErrorReport.h"
#include "platform/SessionInstance.h"
#include "platform/win32/Win32MessageWindow.h"
#include "platform/win32/Win32OwnedHandle.h"

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
  void Listen(std::function<void(const std::wstring&)> take,
              std::function<void()> carry_out) override;

 private:
  std::wstring Name(const wchar_t* suffix) const;
  OwnedHandle ReadyEvent() const;
  bool Take(const COPYDATASTRUCT& data);

  ErrorReport& errors_;
  std::wstring base_name_;  // "Local\Rerevure-<SID>"
  OwnedHandle mutex_;
  OwnedHandle ready_;
  OwnedHandle mapping_;
  std::function<void(const std::wstring&)> take_;
  // The window later starts send their requests to, once listening.
  std::unique_ptr<Win32MessageWindow> receiver_;
};

}  // namespace rerevure::platform
