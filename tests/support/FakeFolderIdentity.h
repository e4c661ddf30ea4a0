#pragma once

#include <map>
#include <optional>
#include <string>

#include "platform/FolderIdentity.h"
#include "platform/PlatformError.h"

namespace rerevure::testing {

// Folders by path, each with its identity; two paths with one identity are
// one folder. At first the program's folder stands in the 64-bit Program
// Files folder and is reached by its short name too, as on an ordinary image.
class FakeFolderIdentity final : public platform::FolderIdentity {
 public:
  static constexpr std::int32_t kFileNotFound = 2;

  FakeFolderIdentity();

  platform::FileIdentity Of(const std::wstring& path) override;
  std::wstring NativeProgramFiles() override;

  std::map<std::wstring, platform::FileIdentity> folders;
  std::wstring program_files = L"C:\\Program Files";
  // Thrown by NativeProgramFiles when set.
  std::optional<platform::PlatformError> program_files_failure;
};

}  // namespace rerevure::testing
