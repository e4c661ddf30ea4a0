#pragma once

#include <windows.h>

#include <utility>

namespace rerevure::platform {

// The one owner of a kernel object handle (process, job, event, file...):
// closed when the owner goes. Empty holds null; a failed CreateFile's
// INVALID_HANDLE_VALUE is to be turned into null before it is handed over.
class Win32Handle {
 public:
  Win32Handle() = default;
  explicit Win32Handle(HANDLE handle) noexcept : handle_(handle) {}
  Win32Handle(Win32Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Win32Handle& operator=(Win32Handle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  Win32Handle(const Win32Handle&) = delete;
  Win32Handle& operator=(const Win32Handle&) = delete;
  ~Win32Handle() { Reset(); }

  HANDLE Get() const noexcept { return handle_; }
  explicit operator bool() const noexcept { return handle_ != nullptr; }
  // Closing a handle the owner holds can fail only for a handle that was
  // never valid, which nothing could mend.
  void Reset(HANDLE handle = nullptr) noexcept {
    if (handle_ != nullptr) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace rerevure::platform
