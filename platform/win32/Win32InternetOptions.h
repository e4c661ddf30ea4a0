#pragma once

#include <windows.h>
#include <wininet.h>

#include "platform/InternetOptions.h"

namespace rerevure::platform {

// The library calls this adapter makes, replaceable so that a test can see the
// records exactly as they are handed over.
using InternetSetOptionFunction = BOOL(WINAPI*)(HINTERNET, DWORD, LPVOID, DWORD);

// WinINet's process-wide options (no internet handle), through
// InternetSetOptionA and InternetQueryOptionA.
class Win32InternetOptions final : public InternetOptions {
 public:
  explicit Win32InternetOptions(InternetSetOptionFunction set_option = &::InternetSetOptionA)
      : set_option_(set_option) {}

  bool SetPerConnectionOptions(const PerConnectionOptionList& list) override;
  void Notify(std::uint32_t option) override;
  std::optional<ConnectionProxySetting> QueryDefaultConnectionProxy() override;

 private:
  InternetSetOptionFunction set_option_;
};

}  // namespace rerevure::platform
