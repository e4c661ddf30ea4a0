#pragma once

#include <string>

namespace rerevure::platform {

// A fresh folder under the user's temporary folder, removed with everything
// in it when the object goes.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::wstring& Path() const { return path_; }
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// The folder the running test program is in.
std::wstring TestProgramFolder();

// The whole content of a file, or "" when it cannot be read.
std::string ReadFileBytes(const std::wstring& path);

}  // namespace rerevure::platform
