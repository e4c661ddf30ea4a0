#pragma once

#include "platform/FolderIdentity.h"

namespace rerevure::platform {

// GetFileInformationByHandle on a handle opened with backup semantics (the
// way to open a folder), and the environment's ProgramW6432 (present in every
// process on 64-bit Windows) or else ProgramFiles (32-bit Windows, where a
// 32-bit process's ProgramFiles is the only Program Files folder).
class Win32FolderIdentity final : public FolderIdentity {
 public:
  FileIdentity Of(const std::wstring& path) override;
  std::wstring NativeProgramFiles() override;
};

}  // namespace rerevure::platform
