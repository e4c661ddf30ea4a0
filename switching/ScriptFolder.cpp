#include "switching/ScriptFolder.h"

#include "platform/PlatformError.h"
#include "switching/DriveScript.h"

namespace rerevure::switching {

std::optional<std::wstring> ScriptFolderRefusal(platform::FolderIdentity& folders) {
  const std::wstring script_folder(kScriptFolder);
  std::wstring program_folder;
  try {
    program_folder = folders.NativeProgramFiles() + L"\\" + std::wstring(kProgramFolderName);
    if (folders.Of(script_folder) == folders.Of(program_folder)) return std::nullopt;
  } catch (const platform::PlatformError& e) {
    return L"the script folder \"" + script_folder + L"\" could not be checked: " + e.Description();
  }
  return L"the script folder \"" + script_folder + L"\" is not the folder \"" + program_folder +
         L"\".";
}

}  // namespace rerevure::switching
