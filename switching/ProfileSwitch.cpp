#include "switching/ProfileSwitch.h"

#include <optional>
#include <string>
#include <variant>

#include "switching/ConnectionProxy.h"
#include "switching/ContinueOnError.h"
#include "switching/DriveScript.h"
#include "switching/ProfileTexts.h"
#include "switching/SchoolProxy.h"
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

// Either the warning why the proxy was not set, or the usual feedback.
void TellProxyOutcome(Notifier& notifier, Feedback feedback, const ProfileTexts& texts,
                      const std::optional<std::wstring>& not_set) {
  if (not_set)
    Warn(notifier, feedback, texts, *not_set);
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

std::optional<std::wstring> RefusedUnless(bool changed, const ProfileTexts& texts) {
  if (changed) return std::nullopt;
  return std::wstring(texts.refused);
}

// Sets what the school's policy asks for as one list, or nothing at all. The
// warning when the proxy was not set; nothing when it was.
std::optional<std::wstring> SetSchoolProxy(const ProfilePlatform& platform) {
  SchoolProxyPolicy policy;
  if (auto failure = ContinueOnError([&] { policy = platform.school_proxy.Read(); }))
    return std::wstring(kSchoolProxyLeftAsItIs) + failure->Description();
  std::optional<std::wstring> not_set = std::wstring(kSchoolTexts.refused);
  ContinueOnError([&] {
    const auto options =
        MakeSchoolOptionList(platform.codec, std::wstring(kDefaultConnection), policy);
    if (const auto* bad = std::get_if<BadPolicyValue>(&options))
      not_set = std::wstring(kSchoolProxyLeftAsItIs) + L"the policy value " +
                std::wstring(bad->name) + L" " + bad->fault + L".";
    else if (ApplyOptionList(platform.internet,
                             std::get<platform::PerConnectionOptionList>(options)))
      not_set.reset();
  });
  return not_set;
}

// The shell object lives only for the one command.
void RunCommand(platform::AutomationShellFactory& shells, std::wstring_view command) {
  const auto shell = shells.Create(std::wstring(kShellProgId));
  shell->Run(std::wstring(command));
}

}  // namespace

void EnterSchoolProfile(const ProfilePlatform& platform, Feedback feedback, Notifier& notifier,
                        SettingsSource& settings) {
  const std::optional<std::wstring> not_set = SetSchoolProxy(platform);
  ContinueOnError([&] { TellProxyOutcome(notifier, feedback, kSchoolTexts, not_set); });
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
  TellProxyOutcome(notifier, feedback, kHomeTexts, RefusedUnless(disabled, kHomeTexts));
  // A school run that still goes (waiting on a prompt, or slow while the
  // school is out of reach) would map drives after they were removed, and
  // keep its password on disk.
  if (platform.script_run.Running()) platform.script_run.End(std::chrono::milliseconds::zero());
  RunCommand(platform.shells, kDisconnectCommand);
}

}  // namespace rerevure::switching
