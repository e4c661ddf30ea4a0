#include "support/FakeCommandInterpreter.h"

namespace rerevure::testing {

std::unique_ptr<platform::StartedProcess> FakeCommandInterpreter::StartInSystemFolder(
    const std::wstring& program, const std::wstring& command_line) {
  Record(journal, L"Start " + command_line);
  if (start_failure) throw *start_failure;
  starts.push_back({program, command_line});
  return std::make_unique<platform::StartedProcess>();
}

}  // namespace rerevure::testing
