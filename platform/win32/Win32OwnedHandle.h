#pragma once

#include <windows.h>

#include <utility>

namespace rerevure::platform {

// Owns one kernel handle (a file, a process, a mutex, an event, a mapping, a
// token) and closes it at its end. Windows says "no handle" two ways:
// CreateFileW with INVALID_HANDLE_VALUE, most other calls with null. Both
// mean none here, so no caller has to know which one its function uses.
// (GetCurrentProcess's pseudo-handle has INVALID_HANDLE_VALUE's value; it
// is never closed, so it is never given to an owner.)
class OwnedHandle {
 public:
  OwnedHandle() noexcept = default;
  explicit OwnedHandle(HANDLE handle) noexcept : handle_(handle) {}
  OwnedHandle(OwnedHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, INVALID_HANDLE_VALUE));
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  ~OwnedHandle() { Reset(); }

  // Null when none is held, whichever way none was given.
  HANDLE Get() const noexcept { return *this ? handle_ : nullptr; }
  explicit operator bool() const noexcept {
    return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
  }

  // Closes what is held and takes handle instead. A failed close is ignored:
  // it happens only to a handle that is not valid, and nothing read or
  // written through it is lost. Where a close may still fail to write (a
  // file just written), Close says so.
  void Reset(HANDLE handle = INVALID_HANDLE_VALUE) noexcept {
    if (*this) CloseHandle(handle_);
    handle_ = handle;
  }
  // Closes what is held; false, with the thread's last error set, when the
  // system refused or nothing was held (ERROR_INVALID_HANDLE). Either way
  // nothing is held afterwards.
  bool Close() noexcept {
    if (!*this) {
      SetLastError(ERROR_INVALID_HANDLE);
      return false;
    }
    return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace rerevure::platform
