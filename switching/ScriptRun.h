#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/CommandInterpreter.h"
#include "platform/Pause.h"
#include "platform/TextFiles.h"

namespace rerevure::switching {

// How long a way out of the program lets a running script finish by itself:
// at log-off Windows gives a program only a few seconds in all.
inline constexpr std::chrono::milliseconds kEndingGrace{2000};

// A script that cannot be deleted (a virus scanner reading it) is tried again
// this many times, this far apart, before it is left to the next start.
inline constexpr int kDeleteRetries = 4;
inline constexpr std::chrono::milliseconds kDeleteRetryPause{250};

// The drive-mapping script while the command interpreter runs it. It holds a
// password in clear text, so it lives only that long: it is held open without
// delete sharing from before the interpreter starts until it has ended (so
// nobody can remove or replace it meanwhile), then closed and deleted. One
// script runs at a time; the object must outlive the run it starts.
class ScriptRun {
 public:
  ScriptRun(platform::TextFiles& files, platform::Pause& pause) : files_(files), pause_(pause) {}
  // Ends a run that still goes, without waiting, and deletes its script.
  ~ScriptRun() { End(std::chrono::milliseconds::zero()); }
  ScriptRun(const ScriptRun&) = delete;
  ScriptRun& operator=(const ScriptRun&) = delete;

  bool Running() const { return process_ != nullptr; }
  // Whether the program has begun to end: no script is written or run.
  bool Closed() const { return closed_; }

  // Holds the written script at path and starts the interpreter on it in the
  // system folder; true once it runs. When either fails, the script is
  // deleted and the PlatformError thrown. Once Closed, the script is deleted
  // and nothing starts: false. Not to be called while Running().
  bool Start(platform::CommandInterpreter& interpreter, const std::wstring& path);

  // Ends the run: waits at most grace for the interpreter to end by itself,
  // then ends it and everything it started, and deletes the script. Without
  // a run, as RemoveLeftover. Throws nothing.
  void End(std::chrono::milliseconds grace) noexcept;
  // Every way out of the program: End, and Closed for good, so that a switch
  // still under way (its box was open when the way out came) neither writes
  // nor starts a script after the program decided to end.
  void Close(std::chrono::milliseconds grace) noexcept;

  // Deletes the scripts earlier runs left (a log-off, a crash or a power cut
  // while one ran), at kScriptPath and under unguessable names, unless one
  // runs now. One that cannot be deleted (another user's) stays: the
  // failure is ignored.
  void RemoveLeftover() noexcept;

 private:
  void Finish() noexcept;

  platform::TextFiles& files_;
  platform::Pause& pause_;
  std::unique_ptr<platform::HeldFile> held_;
  std::unique_ptr<platform::StartedProcess> process_;
  // The script of the run, which Finish deletes.
  std::wstring path_;
  bool closed_ = false;
};

}  // namespace rerevure::switching
