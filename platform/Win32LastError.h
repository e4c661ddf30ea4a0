#pragma once

#include <cstdint>
#include <string>

#include "platform/PlatformError.h"

namespace rerevure::platform {

// The system's description of a Win32 error code, without the trailing line
// break FormatMessage adds.
std::wstring SystemErrorDescription(std::uint32_t code);

// The calling thread's last Win32 error as the error the program reports.
PlatformError LastPlatformError();

}  // namespace rerevure::platform
