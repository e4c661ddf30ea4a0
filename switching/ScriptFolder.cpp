#include "switching/ScriptFolder.h"

#include "platform/PlatformError.h"
#include "switching/DriveScript.h"

namespace rerevure::switching {
namespace {

// The platform's numbers for a path that leads nowhere.
constexpr std::int32_t kFileNotFound = 2;
constexpr std::int32_t kPathNotFound = 3;

constexpr std::wstring_view kScriptFolderMissingHint =
    L"Installing Rerevure with its setup program or MSI creates it.";

}  // namespace

std::optional<std::wstring> ScriptFolderRefusal(platform::FolderIdentity& folders) {
  const std::wstring script_folder(kScriptFolder);
  const std::wstring quoted = L"the script folder \"" + script_folder + L"\"";
  std::wstring program_folder;
  try {
    platform::FileIdentity script;
    try {
      script = folders.Of(script_folder);
    } catch (const platform::PlatformError& e) {
      // A program copied without its installer: only the installers make the
      // folder, and a user cannot make it in Program Files.
      if (e.Number() == kFileNotFound || e.Number() == kPathNotFound)
        return quoted + L" does not exist. " + std::wstring(kScriptFolderMissingHint);
      throw;
    }
    program_folder = folders.NativeProgramFiles() + L"\\" + std::wstring(kProgramFolderName);
    if (script == folders.Of(program_folder)) return std::nullopt;
  } catch (const platform::PlatformError& e) {
    return quoted + L" could not be checked: " + e.Description();
  }
  return quoted + L" is not the folder \"" + program_folder + L"\".";
}

}  // namespace rerevure::switching
