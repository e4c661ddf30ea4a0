#include "switching/ProfileSwitch.h"

#include <optional>
#include <string>

#include "switching/ConnectionProxy.h"
#include "switching/ContinueOnError.h"
#include "switching/DriveScript.h"
#include "switching/ProfileTexts.h"
#include "switching/ScriptFolder.h"

namespace rerevure::switching {
namespace {

// A warning in the switch's kind of feedback; a balloon carries the
// profile's usual title.
void Warn(Notifier& notifier, Feedback feedback, const ProfileTexts& texts,
          const std::wstring& text) {
  if (feedback == Feedback::MessageBox)
    notifier.ShowWarningMessage(text);
  else
    notifier.ShowWarningBalloon(std::wstring(texts.balloon_title), text, kBalloonTimeoutMs);
}

void TellProxyOutcome(Notifier& notifier, Feedback feedback, const ProfileTexts& texts,
                      bool changed) {
  if (!changed)
    Warn(notifier, feedback, texts, std::wstring(texts.refused));
  else if (feedback == Feedback::MessageBox)
    notifier.ShowMessage(std::wstring(texts.message));
  else
    notifier.ShowBalloon(std::wstring(texts.balloon_title), std::wstring(texts.balloon_text),
                         kBalloonTimeoutMs);
}

std::wstring DrivesNotMappedText(const std::wstring& reason) {
  return L"The network drives could not be mapped because " + reason;
}

std::wstring ScriptFailureText(const std::wstring& path, std::wstring_view what_failed,
                               const platform::PlatformError& failure) {
  std::wstring text = L"the script file \"" + path + L"\" could not be ";
  text += what_failed;
  return text + L": " + failure.Description();
}

// The shell object lives only for the one command.
void RunCommand(platform::AutomationShellFactory& shells, std::wstring_view command) {
  const auto shell = shells.Create(std::wstring(kShellProgId));
  shell->Run(std::wstring(command));
}

}  // namespace

void EnterSchoolProfile(const ProfilePlatform& platform, Feedback feedback, Notifier& notifier,
                        SettingsSource& settings) {
  bool enabled = false;
  ContinueOnError([&] {
    enabled =
        SetConnectionOptions(platform.internet, platform.codec, std::wstring(kDefaultConnection),
                             std::wstring(kSchoolProxyAddress));
  });
  ContinueOnError([&] { TellProxyOutcome(notifier, feedback, kSchoolTexts, enabled); });
  // A way out taken while the box was open: at a log-off Windows may end the
  // process at any moment, and a script written now would stay on disk.
  if (platform.script_run.Closed()) return;

  // A run of an earlier switch that still goes may wait on a prompt nobody
  // answers: it gives way, so that this switch maps the drives as it says.
  if (platform.script_run.Running()) platform.script_run.End(std::chrono::milliseconds::zero());

  std::optional<std::wstring> not_mapped = ScriptFolderRefusal(platform.folders);
  if (!not_mapped) {
    const DriveScriptOutcome script =
        WriteDriveScript(platform.files, platform.codec, kScriptPath, settings,
                         [&] { return UnguessableScriptPath(platform.random); });
    if (script.failure)
      not_mapped = ScriptFailureText(script.path, script.removal_failed ? L"replaced" : L"written",
                                     *script.failure);
    // A file this call did not create may be another user's script, with
    // their password, or one planted to run under this logon: never run it.
    if (script.runnable) {
      // From the system folder, so that the "net" of its lines is the
      // system's own.
      bool started = false;
      const auto failure = ContinueOnError(
          [&] { started = platform.script_run.Start(platform.interpreter, script.path); });
      // Refused: a way out came while a value was read. Nothing more to tell.
      if (!failure && !started) return;
      if (failure && !not_mapped) not_mapped = ScriptFailureText(script.path, L"started", *failure);
    }
  }

  if (not_mapped)
    ContinueOnError(
        [&] { Warn(notifier, feedback, kSchoolTexts, DrivesNotMappedText(*not_mapped)); });
}

void EnterHomeProfile(const ProfilePlatform& platform, Feedback feedback, Notifier& notifier) {
  const bool disabled =
      DisableConnectionProxy(platform.internet, platform.codec, std::wstring(kDefaultConnection));
  TellProxyOutcome(notifier, feedback, kHomeTexts, disabled);
  // A school run that still goes (waiting on a prompt, or slow while the
  // school is out of reach) would map drives after they were removed, and
  // keep its password on disk.
  if (platform.script_run.Running()) platform.script_run.End(std::chrono::milliseconds::zero());
  RunCommand(platform.shells, kDisconnectCommand);
}

}  // namespace rerevure::switching
