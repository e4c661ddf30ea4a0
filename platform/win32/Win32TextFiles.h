#pragma once

#include "platform/TextFiles.h"

namespace rerevure::platform {

// Text files through CreateFileW and WriteFile: each line goes to the file as
// it is written. Failures carry the Win32 error number and its description.
class Win32TextFiles final : public TextFiles {
 public:
  std::unique_ptr<TextFile> Create(const std::wstring& path) override;
  // A file that is not there (nor its folder) is already removed.
  void Remove(const std::wstring& path) override;
  // Read access, read sharing only: no delete, rename or write by anyone.
  std::unique_ptr<HeldFile> Hold(const std::wstring& path) override;
  // FindFirstFileExW; folders that match are left out.
  std::vector<std::wstring> Names(const std::wstring& pattern) override;
};

}  // namespace rerevure::platform
