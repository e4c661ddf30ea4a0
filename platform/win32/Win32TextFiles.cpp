#include "platform/win32/Win32TextFiles.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32OwnedHandle.h"
#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {
namespace {

class Win32TextFile final : public TextFile {
 public:
  explicit Win32TextFile(OwnedHandle handle) : handle_(std::move(handle)) {}

  void WriteLine(std::string_view bytes) override {
    if (!handle_) throw SystemError(ERROR_INVALID_HANDLE);
    std::string line(bytes);
    line += "\r\n";
    const char* next = line.data();
    std::size_t left = line.size();
    while (left > 0) {
      DWORD written = 0;
      if (!WriteFile(handle_.Get(), next, static_cast<DWORD>(left), &written, nullptr))
        throw LastPlatformError();
      next += written;
      left -= written;
    }
  }

  // The close of a written file is the last chance to hear that it was not
  // all written, so its failure is reported, unlike the owner's at its end.
  void Close() override {
    if (!handle_.Close()) throw LastPlatformError();
  }

 private:
  OwnedHandle handle_;
};

class Win32HeldFile final : public HeldFile {
 public:
  explicit Win32HeldFile(OwnedHandle handle) : handle_(std::move(handle)) {}

 private:
  OwnedHandle handle_;
};

// Others may read the file while it is open, never write or delete it.
template <class Opened>
std::unique_ptr<Opened> Open(const std::wstring& path, DWORD access, DWORD disposition) {
  OwnedHandle handle(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) throw LastPlatformError();
  return std::make_unique<Opened>(std::move(handle));
}

}  // namespace

std::unique_ptr<HeldFile> Win32TextFiles::Hold(const std::wstring& path) {
  return Open<Win32HeldFile>(path, GENERIC_READ, OPEN_EXISTING);
}

std::unique_ptr<TextFile> Win32TextFiles::Create(const std::wstring& path) {
  return Open<Win32TextFile>(path, GENERIC_WRITE, CREATE_NEW);
}

std::vector<std::wstring> Win32TextFiles::Names(const std::wstring& pattern) {
  WIN32_FIND_DATAW found{};
  std::vector<std::wstring> names;
  const HANDLE first =
      FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (first == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return names;
    throw SystemError(error);
  }
  const OwnedFind search(first);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) throw SystemError(error);
  return names;
}

void Win32TextFiles::Remove(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return;
  const DWORD error = GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
  throw SystemError(error);
}

}  // namespace rerevure::platform
