#include "platform/win32/Win32FolderIdentity.h"

#include <windows.h>

#include "platform/win32/Win32Environment.h"
#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32OwnedHandle.h"

namespace rerevure::platform {

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
  if (auto folder = EnvironmentVariable(L"ProgramW6432")) return *folder;
  if (auto folder = EnvironmentVariable(L"ProgramFiles")) return *folder;
  throw SystemError(ERROR_ENVVAR_NOT_FOUND);
}

}  // namespace rerevure::platform
