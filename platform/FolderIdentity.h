#pragma once

#include <cstdint>
#include <string>

namespace rerevure::platform {

// What makes a folder the same folder under any of its names: the volume it
// is on and its index on that volume.
struct FileIdentity {
  std::uint32_t volume_serial = 0;
  std::uint64_t file_index = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Which folder a path names, whatever names and links lead to it.
class FolderIdentity {
 public:
  virtual ~FolderIdentity() = default;
  // The identity of the folder at path. Throws PlatformError when it cannot
  // be opened.
  virtual FileIdentity Of(const std::wstring& path) = 0;
  // The 64-bit Program Files folder (the only one on 32-bit Windows), as seen
  // by any process, 32-bit ones included. Throws PlatformError when unknown.
  virtual std::wstring NativeProgramFiles() = 0;
};

}  // namespace rerevure::platform
