#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AutomationShell.h"
#include "platform/PlatformError.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// The automation shell as a factory of shell objects that all share one fake
// registry and one record of what they did. Registry paths compare without
// regard to case, as the registry's do. The factory must outlive the objects
// it creates.
class FakeAutomationShell final : public platform::AutomationShellFactory {
 public:
  // What the real shell object reports for a value that does not exist.
  static constexpr std::int32_t kMissingValueNumber = -2147024894;  // 0x80070002

  struct Value {
    std::wstring text;  // as RegRead gives it: a number as its decimal digits
    std::wstring type;  // "REG_SZ", "REG_DWORD", ...
  };
  struct Write {
    std::wstring path, value, type;
    friend bool operator==(const Write&, const Write&) = default;
  };

  std::unique_ptr<platform::AutomationShell> Create(const std::wstring& prog_id) override;

  // The fake registry.
  void Set(const std::wstring& path, std::wstring text, std::wstring type = L"REG_SZ");
  std::optional<Value> Get(const std::wstring& path) const;
  void Erase(const std::wstring& path);

  // Failures to inject; each stays until ClearFailures().
  void FailRead(const std::wstring& path, std::int32_t number, std::wstring description);
  void FailWrite(const std::wstring& path, std::int32_t number, std::wstring description);
  void FailCreate(std::int32_t number, std::wstring description);
  void FailRun(std::int32_t number, std::wstring description);
  void ClearFailures();

  // What happened, in order.
  std::vector<std::wstring> prog_ids;  // every Create, failed ones included
  std::vector<std::wstring> reads;     // every RegRead path
  std::vector<Write> writes;           // every RegWrite that succeeded
  std::vector<std::wstring> runs;      // every command started
  int creations = 0;                   // objects handed out
  int releases = 0;                    // objects destroyed
  int Alive() const { return creations - releases; }
  // "Create wscript.shell", "RegRead <path>", "RegWrite <path> = <value> (<type>)",
  // "Run <command>", "Release".
  CallJournal* journal = nullptr;

 private:
  class Object;
  static std::wstring Key(const std::wstring& path);

  std::map<std::wstring, Value> registry_;
  std::map<std::wstring, platform::PlatformError> read_failures_, write_failures_;
  std::optional<platform::PlatformError> create_failure_, run_failure_;
};

}  // namespace rerevure::testing
