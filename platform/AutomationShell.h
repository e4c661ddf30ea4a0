#pragma once

#include <memory>
#include <string>

namespace rerevure::platform {

// The platform's automation shell object ("WScript.Shell"), late bound.
// Every failed call throws PlatformError with the number and description the
// object reported.
class AutomationShell {
 public:
  virtual ~AutomationShell() = default;
  // The value at a full registry path, as text: a number comes back as its
  // decimal digits.
  virtual std::wstring RegRead(const std::wstring& path) = 0;
  // type is the shell object's type name, e.g. "REG_SZ" or "REG_DWORD".
  virtual void RegWrite(const std::wstring& path, const std::wstring& value,
                        const std::wstring& type) = 0;
  // Starts a command line in a new process with the method's defaults:
  // a normal, activated window, not waited for.
  virtual void Run(const std::wstring& command) = 0;
};

// Creates the shell object by its ProgID. The program creates one just
// before it needs it and releases it when the handler is done with it.
class AutomationShellFactory {
 public:
  virtual ~AutomationShellFactory() = default;
  virtual std::unique_ptr<AutomationShell> Create(const std::wstring& prog_id) = 0;
};

}  // namespace rerevure::platform
