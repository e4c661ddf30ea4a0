#include "support/FakeAutomationShell.h"

#include <algorithm>
#include <cwctype>
#include <utility>

namespace rerevure::testing {

class FakeAutomationShell::Object final : public platform::AutomationShell {
 public:
  explicit Object(FakeAutomationShell& owner) : owner_(owner) {}
  ~Object() override {
    ++owner_.releases;
    Record(owner_.journal, L"Release");
  }

  std::wstring RegRead(const std::wstring& path) override {
    owner_.reads.push_back(path);
    Record(owner_.journal, L"RegRead " + path);
    const std::wstring key = Key(path);
    if (auto failure = owner_.read_failures_.find(key); failure != owner_.read_failures_.end())
      throw failure->second;
    auto value = owner_.registry_.find(key);
    if (value == owner_.registry_.end())
      throw platform::PlatformError(kMissingValueNumber,
                                    L"Unable to open registry key \"" + path + L"\" for reading.");
    return value->second.text;
  }

  void RegWrite(const std::wstring& path, const std::wstring& value,
                const std::wstring& type) override {
    Record(owner_.journal, L"RegWrite " + path + L" = " + value + L" (" + type + L")");
    const std::wstring key = Key(path);
    if (auto failure = owner_.write_failures_.find(key); failure != owner_.write_failures_.end())
      throw failure->second;
    // The shell object converts a REG_DWORD's text to a number, or fails.
    if (Key(type) == L"reg_dword" &&
        (value.empty() || !std::all_of(value.begin(), value.end(),
                                       [](wchar_t c) { return c >= L'0' && c <= L'9'; })))
      throw platform::PlatformError(-2147352571, L"Type mismatch");  // DISP_E_TYPEMISMATCH
    owner_.registry_[key] = Value{value, type};
    owner_.writes.push_back(Write{path, value, type});
  }

  void Run(const std::wstring& command) override {
    Record(owner_.journal, L"Run " + command);
    if (owner_.run_failure_) throw *owner_.run_failure_;
    owner_.runs.push_back(command);
  }

 private:
  FakeAutomationShell& owner_;
};

std::wstring FakeAutomationShell::Key(const std::wstring& path) {
  std::wstring key = path;
  for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(c));
  return key;
}

std::unique_ptr<platform::AutomationShell> FakeAutomationShell::Create(
    const std::wstring& prog_id) {
  prog_ids.push_back(prog_id);
  Record(journal, L"Create " + prog_id);
  if (create_failure_) throw *create_failure_;
  ++creations;
  return std::make_unique<Object>(*this);
}

void FakeAutomationShell::Set(const std::wstring& path, std::wstring text, std::wstring type) {
  registry_[Key(path)] = Value{std::move(text), std::move(type)};
}

std::optional<FakeAutomationShell::Value> FakeAutomationShell::Get(const std::wstring& path) const {
  auto value = registry_.find(Key(path));
  if (value == registry_.end()) return std::nullopt;
  return value->second;
}

void FakeAutomationShell::Erase(const std::wstring& path) { registry_.erase(Key(path)); }

void FakeAutomationShell::FailRead(const std::wstring& path, std::int32_t number,
                                   std::wstring description) {
  read_failures_.insert_or_assign(Key(path),
                                  platform::PlatformError(number, std::move(description)));
}

void FakeAutomationShell::FailWrite(const std::wstring& path, std::int32_t number,
                                    std::wstring description) {
  write_failures_.insert_or_assign(Key(path),
                                   platform::PlatformError(number, std::move(description)));
}

void FakeAutomationShell::FailCreate(std::int32_t number, std::wstring description) {
  create_failure_.emplace(number, std::move(description));
}

void FakeAutomationShell::FailRun(std::int32_t number, std::wstring description) {
  run_failure_.emplace(number, std::move(description));
}

void FakeAutomationShell::ClearFailures() {
  read_failures_.clear();
  write_failures_.clear();
  create_failure_.reset();
  run_failure_.reset();
}

}  // namespace rerevure::testing
