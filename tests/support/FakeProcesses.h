#pragma once

#include <string>
#include <vector>

#include "platform/Processes.h"

namespace rerevure::testing {

// Records what would have been started; either way of starting can be made
// to fail as a missing program or a missing browser would.
class FakeProcesses final : public platform::Processes {
 public:
  struct Started {
    std::wstring what;  // the command line, or the address for the browser
    int show_code;
    bool default_browser;
    friend bool operator==(const Started&, const Started&) = default;
  };

  void Start(const std::wstring& command_line, int show_code) override;
  void OpenWithDefaultBrowser(const std::wstring& address, int show_code) override;

  std::vector<Started> started;
  bool fail_start = false;
  bool fail_browser = false;
};

}  // namespace rerevure::testing
