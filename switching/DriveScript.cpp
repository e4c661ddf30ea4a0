#include "switching/DriveScript.h"

#include <memory>

#include "switching/BatchArgument.h"
#include "switching/ContinueOnError.h"

namespace rerevure::switching {

namespace {

constexpr std::wstring_view kUnguessablePrefix = L"MapDrives-";
constexpr std::wstring_view kUnguessableSuffix = L".bat";
constexpr std::size_t kUnguessableBytes = 16;
constexpr std::wstring_view kHexDigits = L"0123456789abcdef";

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

std::wstring UnguessableScriptPath(platform::RandomSource& random) {
  std::array<std::uint8_t, kUnguessableBytes> bytes{};
  random.Fill(bytes);
  std::wstring path = std::wstring(kScriptFolder) + L"\\" + std::wstring(kUnguessablePrefix);
  for (const std::uint8_t byte : bytes) {
    path += kHexDigits[byte >> 4];
    path += kHexDigits[byte & 0xF];
  }
  return path + std::wstring(kUnguessableSuffix);
}

std::wstring UnguessableScriptPattern() {
  return std::wstring(kScriptFolder) + L"\\" + std::wstring(kUnguessablePrefix) + L"*" +
         std::wstring(kUnguessableSuffix);
}

bool IsUnguessableScriptName(std::wstring_view name) {
  if (name.size() != kUnguessablePrefix.size() + 2 * kUnguessableBytes + kUnguessableSuffix.size())
    return false;
  if (!name.starts_with(kUnguessablePrefix) || !name.ends_with(kUnguessableSuffix)) return false;
  const std::wstring_view digits = name.substr(kUnguessablePrefix.size(), 2 * kUnguessableBytes);
  return digits.find_first_not_of(kHexDigits) == std::wstring_view::npos;
}

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
                                    const std::wstring& path, SettingsSource& settings,
                                    const std::function<std::wstring()>& other_path) {
  DriveScriptOutcome outcome;
  outcome.path = path;
  const auto note = [&](std::optional<platform::PlatformError> failure) {
    if (failure && !outcome.failure) outcome.failure = std::move(failure);
  };

  std::unique_ptr<platform::TextFile> file;
  if (auto failure = ContinueOnError([&] { files.Remove(path); })) {
    std::optional<std::wstring> other;
    if (other_path) ContinueOnError([&] { other = other_path(); });
    if (other) {
      outcome.path = *std::move(other);
    } else {
      outcome.removal_failed = true;
      outcome.runnable = false;
      note(std::move(failure));
    }
  }
  if (outcome.runnable) {
    if (auto create_failure = ContinueOnError([&] { file = files.Create(outcome.path); })) {
      // Nothing of ours stands at the path. Asking whether anything does
      // would not help: another account can make a file vanish for the
      // question and come back before the interpreter opens it.
      outcome.runnable = false;
      note(std::move(create_failure));
    }
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
