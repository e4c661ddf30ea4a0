#pragma once

#include <optional>
#include <string>

namespace rerevure::platform {

// The process's value of an environment variable; none when it is not set.
// Throws PlatformError when it cannot be read.
std::optional<std::wstring> EnvironmentVariable(const wchar_t* name);

}  // namespace rerevure::platform
