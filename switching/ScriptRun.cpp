#include "switching/ScriptRun.h"

#include <exception>

#include "switching/DriveScript.h"

namespace rerevure::switching {
namespace {

void RemoveIgnoringFailure(platform::TextFiles& files) {
  try {
    files.Remove(kScriptPath);
  } catch (const std::exception&) {
    // Another user's file, or one the system still holds: nothing to do.
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

void ScriptRun::RemoveLeftover() {
  if (!Running()) RemoveIgnoringFailure(files_);
}

void ScriptRun::Finish() {
  held_.reset();
  RemoveIgnoringFailure(files_);
}

}  // namespace rerevure::switching
