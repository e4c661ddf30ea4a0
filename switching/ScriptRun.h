#pragma once

#include <memory>

#include "platform/CommandInterpreter.h"
#include "platform/TextFiles.h"

namespace rerevure::switching {

// The drive-mapping script while the command interpreter runs it. It holds a
// password in clear text, so it lives only that long: it is held open without
// delete sharing from before the interpreter starts until it has ended (so
// nobody can remove or replace it meanwhile), then closed and deleted. One
// script runs at a time; the object must outlive the run it starts.
class ScriptRun {
 public:
  explicit ScriptRun(platform::TextFiles& files) : files_(files) {}
  // Ending while the interpreter runs leaves the script to it: the next
  // start's RemoveLeftover deletes it.
  ~ScriptRun() = default;
  ScriptRun(const ScriptRun&) = delete;
  ScriptRun& operator=(const ScriptRun&) = delete;

  bool Running() const { return process_ != nullptr; }

  // Holds the written script at kScriptPath and starts the interpreter on it
  // in the system folder. When either fails, the script is deleted and the
  // PlatformError thrown. Not to be called while Running().
  void Start(platform::CommandInterpreter& interpreter);

  // Deletes a script an earlier run left (a log-off or a crash while it ran),
  // unless one runs now. One that cannot be deleted (another user's) stays:
  // the failure is ignored.
  void RemoveLeftover();

 private:
  void Finish();

  platform::TextFiles& files_;
  std::unique_ptr<platform::HeldFile> held_;
  std::unique_ptr<platform::StartedProcess> process_;
};

}  // namespace rerevure::switching
