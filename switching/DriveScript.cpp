#include "switching/DriveScript.h"

#include <memory>

#include "switching/BatchArgument.h"
#include "switching/ContinueOnError.h"

namespace rerevure::switching {

namespace {

// Adds prefix and the value as a batch argument; a value that does not fit
// on the line is left out, and so is the prefix when even that does not fit.
void AppendArgument(std::wstring& line, std::wstring_view prefix, std::wstring_view value) {
  std::wstring argument = BatchArgument(value);
  if (line.size() + prefix.size() + argument.size() > kMaxScriptLineLength) argument.clear();
  if (line.size() + prefix.size() > kMaxScriptLineLength) return;
  line += prefix;
  line += argument;
}

}  // namespace

std::wstring ScriptCommandLine(std::wstring_view interpreter_path, std::wstring_view script) {
  std::wstring line = L"\"";
  line += interpreter_path;
  line += L"\" ";
  line += kInterpreterSwitches;
  line += L" \"\"";
  line += script;
  line += L"\" & exit 0\"";
  return line;
}

std::wstring HomeDriveLine(std::wstring_view user_area, std::wstring_view username,
                           std::wstring_view password) {
  std::wstring line = L"net use h:";
  AppendArgument(line, L" ", user_area);
  if (!username.empty()) AppendArgument(line, L" /USER:", username);
  if (!password.empty()) AppendArgument(line, L" ", password);
  return line;
}

std::wstring ShareDriveLine(std::wstring_view drive, std::wstring_view share) {
  std::wstring line = L"net use ";
  line += drive;
  AppendArgument(line, L" ", share);
  return line;
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
    // Nothing of ours stands at the path. Asking whether anything does would
    // not help: another account can make a file vanish for the question and
    // come back before the interpreter opens it.
    outcome.runnable = false;
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
