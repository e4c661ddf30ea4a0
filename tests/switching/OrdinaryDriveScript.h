#pragma once

#include <string>
#include <vector>

#include "switching/DriveSettings.h"

namespace rerevure::switching {

// Ordinary values of a pupil's drives, with credentials, shared by the script
// and profile tests.
DriveSettings OrdinaryDriveValues();

// The calls that writing the script for those values makes on a journalled
// file writer and settings source: each value is read only just before its
// own line, so a change made between lines is what the script gets.
std::vector<std::wstring> OrdinaryDriveScriptJournal(const std::wstring& path);

}  // namespace rerevure::switching
