#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/CommandInterpreter.h"
#include "platform/PlatformError.h"
#include "support/CallJournal.h"

namespace rerevure::testing {

// Records the interpreter starts; a start can be made to fail. A started
// process runs until End() is called, as the message loop would see it end,
// or until the program terminates it; a wait for its end ends it only when
// ends_while_waited is set.
class FakeCommandInterpreter final : public platform::CommandInterpreter {
 public:
  struct Start {
    std::wstring program, command_line;
    friend bool operator==(const Start&, const Start&) = default;
  };

  std::wstring Path() override { return path; }
  std::unique_ptr<platform::StartedProcess> StartInSystemFolder(
      const std::wstring& program, const std::wstring& command_line) override;

  std::wstring path = L"C:\\Windows\\system32\\cmd.exe";
  // Ends the process started last: its WhenEnded call runs, once.
  void End();
  // Started processes whose object the program still keeps.
  int Kept() const { return kept_; }

  // Started processes that have not ended, terminated ones neither.
  int Running() const { return running_; }
  bool ends_while_waited = false;

  std::vector<Start> starts;  // the successful ones
  // Thrown by the next starts when set.
  std::optional<platform::PlatformError> start_failure;
  // "Start <command line>", failed starts included; "Ended", "Wait <ms>",
  // "Terminate".
  CallJournal* journal = nullptr;

 private:
  class Process;
  int kept_ = 0;
  int running_ = 0;
  Process* last_ = nullptr;
};

}  // namespace rerevure::testing
