#pragma once

#include <optional>
#include <string>

#include "platform/FolderIdentity.h"

namespace rerevure::switching {

// Why the script folder must not be written to, or nothing when it is the
// program's own folder in the 64-bit Program Files folder under its short
// name. Where short names were never made, "C:\Progra~1" is an ordinary name
// that any user may create, own and read: a password written there is theirs.
// A folder that does not exist is said to be missing, with how to get it.
// The text completes "... could not be mapped because ".
std::optional<std::wstring> ScriptFolderRefusal(platform::FolderIdentity& folders);

}  // namespace rerevure::switching
