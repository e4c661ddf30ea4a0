#include "platform/Win32TextFiles.h"

#include <windows.h>

#include <string>

#include "platform/Win32LastError.h"

namespace rerevure::platform {
namespace {

class Win32TextFile final : public TextFile {
 public:
  explicit Win32TextFile(HANDLE handle) : handle_(handle) {}
  Win32TextFile(const Win32TextFile&) = delete;
  Win32TextFile& operator=(const Win32TextFile&) = delete;
  ~Win32TextFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  void WriteLine(std::string_view bytes) override {
    if (handle_ == INVALID_HANDLE_VALUE) throw InvalidHandle();
    std::string line(bytes);
    line += "\r\n";
    const char* next = line.data();
    std::size_t left = line.size();
    while (left > 0) {
      DWORD written = 0;
      if (!WriteFile(handle_, next, static_cast<DWORD>(left), &written, nullptr))
        throw LastPlatformError();
      next += written;
      left -= written;
    }
  }

  void Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) throw InvalidHandle();
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) throw LastPlatformError();
  }

 private:
  static PlatformError InvalidHandle() { return SystemError(ERROR_INVALID_HANDLE); }

  HANDLE handle_;
};

class Win32HeldFile final : public HeldFile {
 public:
  explicit Win32HeldFile(HANDLE handle) : handle_(handle) {}
  Win32HeldFile(const Win32HeldFile&) = delete;
  Win32HeldFile& operator=(const Win32HeldFile&) = delete;
  // Only read: closing loses nothing, so a failed close is ignored.
  ~Win32HeldFile() override { CloseHandle(handle_); }

 private:
  HANDLE handle_;
};

// Others may read the file while it is open, never write or delete it.
template <class Opened>
std::unique_ptr<Opened> Open(const std::wstring& path, DWORD access, DWORD disposition) {
  const HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) throw LastPlatformError();
  try {
    return std::make_unique<Opened>(handle);
  } catch (...) {
    CloseHandle(handle);
    throw;
  }
}

}  // namespace

std::unique_ptr<HeldFile> Win32TextFiles::Hold(const std::wstring& path) {
  return Open<Win32HeldFile>(path, GENERIC_READ, OPEN_EXISTING);
}

std::unique_ptr<TextFile> Win32TextFiles::Create(const std::wstring& path) {
  return Open<Win32TextFile>(path, GENERIC_WRITE, CREATE_NEW);
}

void Win32TextFiles::Remove(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  throw SystemError(error);
}

}  // namespace rerevure::platform
