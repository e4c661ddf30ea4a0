#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/PlatformError.h"
#include "platform/TextFiles.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// An in-memory file system: a file can be created only in a folder that
// exists, each line reaches the file as it is written, and failures can be
// injected per path. The fake must outlive the files it opens.
class FakeTextFiles final : public platform::TextFiles {
 public:
  // The platform's numbers and texts for the failures the fake makes itself.
  static constexpr std::int32_t kPathNotFound = 3;
  static constexpr std::int32_t kInvalidHandle = 6;
  static constexpr std::int32_t kFileExists = 80;
  static constexpr std::int32_t kFileNotFound = 2;
  static constexpr std::int32_t kSharingViolation = 32;

  explicit FakeTextFiles(std::initializer_list<std::wstring> folders = {});

  std::unique_ptr<platform::TextFile> Create(const std::wstring& path) override;
  void Remove(const std::wstring& path) override;
  // Like Windows: a held file cannot be removed.
  std::unique_ptr<platform::HeldFile> Hold(const std::wstring& path) override;
  // One * in the name; letters match without regard to case.
  std::vector<std::wstring> Names(const std::wstring& pattern) override;

  void AddFolder(const std::wstring& folder);
  bool Exists(const std::wstring& path) const { return files.count(path) != 0; }
  bool IsOpen(const std::wstring& path) const { return open_.count(path) != 0; }
  bool IsHeld(const std::wstring& path) const { return held_.count(path) != 0; }

  // Failures to inject; a write failure hits every WriteLine to that path.
  void FailCreate(const std::wstring& path, std::int32_t number, std::wstring description);
  void FailRemove(const std::wstring& path, std::int32_t number, std::wstring description);
  void FailWrite(const std::wstring& path, std::int32_t number, std::wstring description);
  void FailClose(const std::wstring& path, std::int32_t number, std::wstring description);
  void StopFailingRemove(const std::wstring& path) { remove_failures_.erase(path); }

  // Each file's bytes, CR LF included.
  std::map<std::wstring, std::string> files;
  int creations = 0;  // files opened
  int removals = 0;   // files that existed and were removed
  // "Remove <path>", "Create <path>", "WriteLine <bytes, one character each>", "Close <path>",
  // "Hold <path>", "Release <path>".
  CallJournal* journal = nullptr;
  // Run after each successful Remove and after each failed Create: another
  // user acting in between.
  std::function<void()> after_remove;
  std::function<void()> after_failed_create;

 private:
  class File;
  class Held;
  using Failures = std::map<std::wstring, platform::PlatformError>;
  static void ThrowIfListed(const Failures& failures, const std::wstring& path);

  std::set<std::wstring> folders_;
  std::set<std::wstring> open_;
  std::set<std::wstring> held_;
  Failures create_failures_, remove_failures_, write_failures_, close_failures_;
};

}  // namespace rerevure::testing
