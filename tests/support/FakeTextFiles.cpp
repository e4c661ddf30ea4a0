#include "support/FakeTextFiles.h"

#include <algorithm>
#include <cwctype>

namespace rerevure::testing {

class FakeTextFiles::File final : public platform::TextFile {
 public:
  File(FakeTextFiles& owner, std::wstring path) : owner_(owner), path_(std::move(path)) {
    owner_.open_.insert(path_);
  }
  ~File() override { owner_.open_.erase(path_); }

  void WriteLine(std::string_view bytes) override {
    std::wstring entry = L"WriteLine ";
    for (char c : bytes) entry.push_back(static_cast<unsigned char>(c));
    Record(owner_.journal, std::move(entry));
    ThrowIfClosed();
    ThrowIfListed(owner_.write_failures_, path_);
    owner_.files[path_].append(bytes).append("\r\n");
  }

  void Close() override {
    Record(owner_.journal, L"Close " + path_);
    ThrowIfClosed();
    ThrowIfListed(owner_.close_failures_, path_);
    closed_ = true;
    owner_.open_.erase(path_);
  }

 private:
  void ThrowIfClosed() const {
    if (closed_) throw platform::PlatformError(kInvalidHandle, L"The handle is invalid.");
  }

  FakeTextFiles& owner_;
  std::wstring path_;
  bool closed_ = false;
};

class FakeTextFiles::Held final : public platform::HeldFile {
 public:
  Held(FakeTextFiles& owner, std::wstring path) : owner_(owner), path_(std::move(path)) {
    owner_.held_.insert(path_);
  }
  ~Held() override {
    Record(owner_.journal, L"Release " + path_);
    owner_.held_.erase(path_);
  }

 private:
  FakeTextFiles& owner_;
  std::wstring path_;
};

FakeTextFiles::FakeTextFiles(std::initializer_list<std::wstring> folders) : folders_(folders) {}

void FakeTextFiles::ThrowIfListed(const Failures& failures, const std::wstring& path) {
  if (auto failure = failures.find(path); failure != failures.end()) throw failure->second;
}

std::unique_ptr<platform::TextFile> FakeTextFiles::Create(const std::wstring& path) {
  Record(journal, L"Create " + path);
  try {
    ThrowIfListed(create_failures_, path);
    const auto slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || folders_.count(path.substr(0, slash)) == 0)
      throw platform::PlatformError(kPathNotFound, L"The system cannot find the path specified.");
    if (files.count(path) != 0) throw platform::PlatformError(kFileExists, L"The file exists.");
  } catch (const platform::PlatformError&) {
    if (after_failed_create) after_failed_create();
    throw;
  }
  files[path];
  ++creations;
  return std::make_unique<File>(*this, path);
}

std::unique_ptr<platform::HeldFile> FakeTextFiles::Hold(const std::wstring& path) {
  Record(journal, L"Hold " + path);
  if (files.count(path) == 0)
    throw platform::PlatformError(kFileNotFound, L"The system cannot find the file specified.");
  return std::make_unique<Held>(*this, path);
}

std::vector<std::wstring> FakeTextFiles::Names(const std::wstring& pattern) {
  const auto same = [](std::wstring_view a, std::wstring_view b) {
    return std::ranges::equal(
        a, b, [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
  };
  const std::size_t slash = pattern.find_last_of(L'\\');
  const std::wstring folder = pattern.substr(0, slash + 1);
  const std::wstring name = pattern.substr(slash + 1);
  const std::wstring prefix = folder + name.substr(0, name.find(L'*'));
  const std::wstring suffix = name.substr(name.find(L'*') + 1);
  std::vector<std::wstring> names;
  for (const auto& [path, bytes] : files) {
    if (path.size() >= prefix.size() + suffix.size() &&
        same(std::wstring_view(path).substr(0, prefix.size()), prefix) &&
        same(std::wstring_view(path).substr(path.size() - suffix.size()), suffix))
      names.push_back(path.substr(folder.size()));
  }
  return names;
}

void FakeTextFiles::Remove(const std::wstring& path) {
  Record(journal, L"Remove " + path);
  ThrowIfListed(remove_failures_, path);
  if (held_.count(path) != 0)
    throw platform::PlatformError(kSharingViolation,
                                  L"The process cannot access the file because it is being used "
                                  L"by another process.");
  removals += static_cast<int>(files.erase(path));
  if (after_remove) after_remove();
}

void FakeTextFiles::AddFolder(const std::wstring& folder) { folders_.insert(folder); }

void FakeTextFiles::FailCreate(const std::wstring& path, std::int32_t number,
                               std::wstring description) {
  create_failures_.insert_or_assign(path, platform::PlatformError(number, std::move(description)));
}

void FakeTextFiles::FailRemove(const std::wstring& path, std::int32_t number,
                               std::wstring description) {
  remove_failures_.insert_or_assign(path, platform::PlatformError(number, std::move(description)));
}

void FakeTextFiles::FailWrite(const std::wstring& path, std::int32_t number,
                              std::wstring description) {
  write_failures_.insert_or_assign(path, platform::PlatformError(number, std::move(description)));
}

void FakeTextFiles::FailClose(const std::wstring& path, std::int32_t number,
                              std::wstring description) {
  close_failures_.insert_or_assign(path, platform::PlatformError(number, std::move(description)));
}

}  // namespace rerevure::testing
