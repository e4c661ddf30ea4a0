#include "switching/ScriptRun.h"

#include <exception>

#include "switching/DriveScript.h"

namespace rerevure::switching {
namespace {

bool Removed(platform::TextFiles& files, const std::wstring& path) noexcept {
  try {
    files.Remove(path);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

bool ScriptRun::Start(platform::CommandInterpreter& interpreter, const std::wstring& path) {
  path_ = path;
  if (closed_) {
    Finish();
    return false;
  }
  try {
    held_ = files_.Hold(path_);
    const std::wstring program = interpreter.Path();
    process_ = interpreter.StartInSystemFolder(program, ScriptCommandLine(program, path_));
  } catch (...) {
    process_.reset();
    Finish();
    throw;
  }
  process_->WhenEnded([this] {
    process_.reset();
    Finish();
  });
  return true;
}

void ScriptRun::End(std::chrono::milliseconds grace) noexcept {
  if (!Running()) {
    RemoveLeftover();
    return;
  }
  const std::unique_ptr<platform::StartedProcess> process = std::move(process_);
  if (grace <= std::chrono::milliseconds::zero() || !process->WaitForEnd(grace))
    process->Terminate();
  Finish();
}

void ScriptRun::Close(std::chrono::milliseconds grace) noexcept {
  closed_ = true;
  End(grace);
}

void ScriptRun::RemoveLeftover() noexcept {
  // Another user's file, or one the system still holds: nothing to do.
  if (Running()) return;
  Removed(files_, kScriptPath);
  try {
    for (const std::wstring& name : files_.Names(UnguessableScriptPattern())) {
      if (IsUnguessableScriptName(name))
        Removed(files_, std::wstring(kScriptFolder) + L"\\" + name);
    }
  } catch (const std::exception&) {
    // A folder that cannot be listed: what it holds stays for the next start.
  }
}

void ScriptRun::Finish() noexcept {
  held_.reset();
  for (int retry = 0; !Removed(files_, path_) && retry < kDeleteRetries; ++retry)
    pause_.For(kDeleteRetryPause);
}

}  // namespace rerevure::switching
