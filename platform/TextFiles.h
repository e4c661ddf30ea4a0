#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace rerevure::platform {

// An open text file. Failures throw PlatformError.
class TextFile {
 public:
  virtual ~TextFile() = default;
  // Writes the bytes followed by CR LF.
  virtual void WriteLine(std::string_view bytes) = 0;
  virtual void Close() = 0;
};

// A file opened for reading only so that, while this object lives, nobody
// can delete, rename or change it; others may still read it.
class HeldFile {
 public:
  virtual ~HeldFile() = default;
};

class TextFiles {
 public:
  virtual ~TextFiles() = default;
  // Creates a new, empty file; the folder is not created. Fails when anything
  // already stands at the path: a file that appeared after the old one was
  // removed may be another user's (or a link to one), and the program must
  // never write a password into a file it did not create itself.
  virtual std::unique_ptr<TextFile> Create(const std::wstring& path) = 0;
  // Deletes the file; a file that does not exist is not an error.
  virtual void Remove(const std::wstring& path) = 0;
  // Opens an existing file as a HeldFile. Throws PlatformError.
  virtual std::unique_ptr<HeldFile> Hold(const std::wstring& path) = 0;
  // The names (without the folder) of the files that pattern, a folder, a
  // backslash and a name with the wildcard *, matches as the system matches
  // it: without regard to case. None when the folder is missing. Throws
  // PlatformError.
  virtual std::vector<std::wstring> Names(const std::wstring& pattern) = 0;
};

}  // namespace rerevure::platform
