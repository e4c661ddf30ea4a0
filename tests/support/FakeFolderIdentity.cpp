#include "support/FakeFolderIdentity.h"

namespace rerevure::testing {

FakeFolderIdentity::FakeFolderIdentity()
    : folders{{L"C:\\Program Files\\Rerevure", {0x1234ABCD, 42}},
              {L"C:\\Progra~1\\Rerevure", {0x1234ABCD, 42}}} {}

platform::FileIdentity FakeFolderIdentity::Of(const std::wstring& path) {
  const auto folder = folders.find(path);
  if (folder == folders.end())
    throw platform::PlatformError(kFileNotFound, L"The system cannot find the file specified.");
  return folder->second;
}

std::wstring FakeFolderIdentity::NativeProgramFiles() {
  if (program_files_failure) throw *program_files_failure;
  return program_files;
}

}  // namespace rerevure::testing
