#include "switching/DriveScript.h"

#include <memory>

#include "switching/BatchArgument.h"
#include "switching/ContinueOnError.h"

namespace rerevure::switching {

std::wstring HomeDriveLine(std::wstring_view user_area, std::wstring_view username,
                           std::wstring_view password) {
  std::wstring line = L"net use h: " + BatchArgument(user_area);
  if (!username.empty()) line += L" /USER:" + BatchArgument(username);
  if (!password.empty()) line += L" " + BatchArgument(password);
  return line;
}

std::wstring ShareDriveLine(std::wstring_view drive, std::wstring_view share) {
  std::wstring line = L"net use ";
  line += drive;
  line += L' ';
  return line + BatchArgument(share);
}

DriveScriptOutcome WriteDriveScript(platform::TextFiles& files, const platform::TextCodec& codec,
                                    const std::wstring& path, SettingsSource& settings) {
  DriveScriptOutcome outcome;
  const auto note = [&](std::optional<platform::PlatformError> failure) {
    if (failure && !outcome.failure) outcome.failure = std::move(failure);
  };

  std::unique_ptr<platform::TextFile> file;
  if (auto failure = ContinueOnError([&] { files.Remove(path); })) {
    outcome.old_script_removed = false;
    outcome.runnable = false;
    note(std::move(failure));
  } else if (auto create_failure = ContinueOnError([&] { file = files.Create(path); })) {
    // A missing folder leaves nothing to run (the attempt fails harmlessly);
    // a file that appeared in the meantime is not ours.
    outcome.runnable = !files.Exists(path);
    note(std::move(create_failure));
  }

  // Without a file the line is still built, so every value is still read.
  const auto write = [&](const std::wstring& line) {
    if (file) note(ContinueOnError([&] { file->WriteLine(codec.ToOem(line)); }));
  };

  for (std::wstring_view line : kScriptHeader) write(std::wstring(line));
  ContinueOnError([&] {
    const std::wstring user_area = settings.UserArea();
    const std::wstring username = settings.Username();
    const std::wstring password = settings.Password();
    write(HomeDriveLine(user_area, username, password));
  });
  ContinueOnError([&] { write(ShareDriveLine(L"i:", settings.SchoolShare())); });
  ContinueOnError([&] { write(ShareDriveLine(L"j:", settings.StaffShare())); });
  ContinueOnError([&] { write(ShareDriveLine(L"k:", settings.Extra1())); });
  ContinueOnError([&] { write(ShareDriveLine(L"l:", settings.Extra2())); });
  write(std::wstring(kScriptFooter));

  if (file) {
    note(ContinueOnError([&] { file->Close(); }));
    file.reset();
  }
  return outcome;
}

}  // namespace rerevure::switching
