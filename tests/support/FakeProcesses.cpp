#include "support/FakeProcesses.h"

#include "platform/PlatformError.h"

namespace rerevure::testing {

void FakeProcesses::Start(const std::wstring& command_line, int show_code) {
  if (fail_start) throw platform::PlatformError(2, L"The system cannot find the file specified.");
  started.push_back({command_line, show_code, false});
}

void FakeProcesses::OpenWithDefaultBrowser(const std::wstring& address, int show_code) {
  if (fail_browser) throw platform::PlatformError(1155, L"No application is associated.");
  started.push_back({address, show_code, true});
}

}  // namespace rerevure::testing
