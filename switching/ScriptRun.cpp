#include "switching/ScriptRun.h"

#include <exception>

#include "switching/DriveScript.h"

namespace rerevure::switching {
namespace {

bool Removed(platform::TextFiles& files) noexcept {
  try {
    files.Remove(kScriptPath);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void ScriptRun::Start(platform::CommandInterpreter& interpreter) {
  try {
    held_ = files_.Hold(kScriptPath);
    const std::wstring program = interpreter.Path();
    process_ = interpreter.StartInSystemFolder(program, ScriptCommandLine(program, kScriptPath));
  } catch (...) {
    process_.reset();
    Finish();
    throw;
  }
  process_->WhenEnded([this] {
    process_.reset();
    Finish();
  });
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

void ScriptRun::RemoveLeftover() noexcept {
  // Another user's file, or one the system still holds: nothing to do.
  if (!Running()) Removed(files_);
}

void ScriptRun::Finish() noexcept {
  held_.reset();
  for (int retry = 0; !Removed(files_) && retry < kDeleteRetries; ++retry)
    pause_.For(kDeleteRetryPause);
}

}  // namespace rerevure::switching
