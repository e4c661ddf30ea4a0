#include "platform/Win32FolderIdentity.h"

#include <windows.h>

#include "platform/Win32LastError.h"
#include "platform/Win32OwnedHandle.h"

namespace rerevure::platform {
namespace {

// Reads the variable into value; false when it is not set.
bool ReadVariable(const wchar_t* name, std::wstring& value) {
  for (DWORD size = MAX_PATH;;) {
    value.resize(size);
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    if (length == 0) {
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
      if (GetLastError() != ERROR_SUCCESS) throw LastPlatformError();
    }
    if (length < size) {
      value.resize(length);
      return true;
    }
    size = length;
  }
}

}  // namespace

FileIdentity Win32FolderIdentity::Of(const std::wstring& path) {
  // No access beyond the attributes, and every sharing mode: the folder is
  // only looked at.
  const OwnedHandle folder(CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder) throw LastPlatformError();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(folder.Get(), &information)) throw LastPlatformError();
  if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    throw SystemError(ERROR_DIRECTORY);
  return {information.dwVolumeSerialNumber,
          (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

std::wstring Win32FolderIdentity::NativeProgramFiles() {
  std::wstring folder;
  if (ReadVariable(L"ProgramW6432", folder) || ReadVariable(L"ProgramFiles", folder)) return folder;
  throw SystemError(ERROR_ENVVAR_NOT_FOUND);
}

}  // namespace rerevure::platform
