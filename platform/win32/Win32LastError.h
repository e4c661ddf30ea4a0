#pragma once

#include <cstdint>
#include <string>

#include "platform/PlatformError.h"

namespace rerevure::platform {

// The system's text for a message number (a Win32 error code or an HRESULT),
// without the trailing line break FormatMessage adds; empty when the system
// has none.
std::wstring SystemMessage(std::uint32_t id);

// The system's description of a Win32 error code, never empty.
std::wstring SystemErrorDescription(std::uint32_t code);

// A Win32 error code as the error the program reports.
PlatformError SystemError(std::uint32_t code);

// The calling thread's last Win32 error as the error the program reports.
PlatformError LastPlatformError();

}  // namespace rerevure::platform
