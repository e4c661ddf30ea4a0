#pragma once

#include "platform/AutomationShell.h"

namespace rerevure::platform {

// Creates the shell object by its ProgID (CLSIDFromProgID, then
// CoCreateInstance for IDispatch) and calls its methods late bound, by name,
// as a script would. The calling thread must hold a ComInitializer.
//
// Failures throw PlatformError: the HRESULT as a signed 32-bit number and its
// description; when the object raised an exception (DISP_E_EXCEPTION), the
// number (scode, else wCode) and the description it reported.
//
// RegRead gives text: a string as it is; a number as its decimal digits (a
// REG_DWORD arrives as a signed 32-bit number, so 0xFFFFFFFF reads "-1");
// an array (REG_BINARY, REG_MULTI_SZ) as its elements converted the same way
// and joined by single blanks ("1 2 255", "first second"); an empty value as "".
class Win32AutomationShellFactory final : public AutomationShellFactory {
 public:
  std::unique_ptr<AutomationShell> Create(const std::wstring& prog_id) override;
};

}  // namespace rerevure::platform
