#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/PlatformError.h"
#include "platform/RandomSource.h"
#include "platform/TextCodec.h"
#include "platform/TextFiles.h"
#include "switching/SettingsSource.h"

namespace rerevure::switching {

// Where the school switch writes the drive-mapping script and what it runs.
// The folder is meant to be the program's own in the 64-bit Program Files
// folder, by its short name; kProgramFolderName is that folder's long name.
inline constexpr std::wstring_view kScriptFolder = L"C:\\Progra~1\\Rerevure";
inline constexpr std::wstring_view kProgramFolderName = L"Rerevure";
inline const std::wstring kScriptPath = std::wstring(kScriptFolder) + L"\\MapDrives.bat";

// Where a run's script goes when the file at kScriptPath cannot be removed
// (another account's leftover, or a file planted there, which is never
// written into nor run): the same folder, under a name of 128 random bits
// that nobody can know before the file exists.
std::wstring UnguessableScriptPath(platform::RandomSource& random);
// Those names, for the ones a crash or a power cut left: the pattern the
// system matches loosely, and the exact form.
std::wstring UnguessableScriptPattern();
bool IsUnguessableScriptName(std::wstring_view name);

// How the command interpreter is told to run the script: no AutoRun commands
// (/d) and no delayed expansion (/v:off), whatever the user's settings say,
// so that the lines do what they were written to do; of what follows /c only
// the outer quotes are taken off (/s).
inline constexpr std::wstring_view kInterpreterSwitches = L"/d /v:off /s /c";

// The whole command line that runs script with the interpreter at
// interpreter_path, both paths quoted, and then ends the interpreter with
// success whatever the last net reported: a terminal hosting the console
// (Windows Terminal as the default terminal) closes only after a success,
// and would otherwise stay open to report an error.
std::wstring ScriptCommandLine(std::wstring_view interpreter_path, std::wstring_view script);

// The longest line the command interpreter reads whole, in characters.
inline constexpr std::size_t kMaxScriptLineLength = 8191;

// Lines 1 to 5: console title and colours, echo off, every earlier mapping
// removed without asking, screen cleared.
inline constexpr std::array<std::wstring_view, 5> kScriptHeader = {
    L"title Proxy VOZ v1.6 by ZUV Orarevirado", L"color A", L"@echo off", L"net use * /d /y",
    L"cls"};
// Line 11.
inline constexpr std::wstring_view kScriptFooter = L"cls";

// Line 6: drive h:, the only one mapped with credentials. " /USER:" comes
// only with a user name (off the domain); the password only when one is given.
std::wstring HomeDriveLine(std::wstring_view user_area, std::wstring_view username,
                           std::wstring_view password);

// Lines 7 to 10: "net use " + drive ("i:") + " " + the share.
// In both, a value that would make the line longer than kMaxScriptLineLength
// is left out as a value that cannot be passed safely is.
std::wstring ShareDriveLine(std::wstring_view drive, std::wstring_view share);

struct DriveScriptOutcome {
  // The file the script was written to, or was to be.
  std::wstring path;
  // The first failure that kept the script from being written whole.
  std::optional<platform::PlatformError> failure;
  // Whether that failure is that the earlier file at path could not be
  // removed.
  bool removal_failed = false;
  // Whether this call created the file at path, the only file that may be
  // run. When the create failed, whatever stands there (or appears there
  // later) may be another user's, with their password, or planted to run
  // under this logon.
  bool runnable = true;
};

// Writes the eleven lines at path in the OEM code page (the one the command
// interpreter reads batch files in). The old file is removed first, so the new
// one is created afresh and belongs to the user writing it; when it cannot be
// removed, the script is created at other_path() instead, if given. Each
// value is read from settings when its line is written; a read that fails
// leaves out only that line, and the values are read even when the file
// could not be made. Nothing here throws a platform failure: the outcome
// tells.
DriveScriptOutcome WriteDriveScript(platform::TextFiles& files, const platform::TextCodec& codec,
                                    const std::wstring& path, SettingsSource& settings,
                                    const std::function<std::wstring()>& other_path = nullptr);

}  // namespace rerevure::switching
