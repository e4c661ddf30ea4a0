#include "switching/ProfileSwitch.h"

#include <string>

#include "switching/ConnectionProxy.h"
#include "switching/ContinueOnError.h"
#include "switching/DriveScript.h"
#include "switching/ProfileTexts.h"

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

std::wstring DrivesNotMappedText(const DriveScriptOutcome& script) {
  std::wstring text = L"The network drives could not be mapped because the script file \"";
  text += kScriptPath;
  text += script.old_script_removed ? L"\" could not be written: " : L"\" could not be replaced: ";
  return text + script.failure->Description();
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

  const DriveScriptOutcome script =
      WriteDriveScript(platform.files, platform.codec, std::wstring(kScriptPath), settings);
  // A file this call did not create may be another user's script, with their
  // password, or one planted to run under this logon: never run it.
  if (script.runnable) ContinueOnError([&] { RunCommand(platform.shells, kScriptPath); });

  if (script.failure)
    ContinueOnError([&] { Warn(notifier, feedback, kSchoolTexts, DrivesNotMappedText(script)); });
}

void EnterHomeProfile(const ProfilePlatform& platform, Feedback feedback, Notifier& notifier) {
  const bool disabled =
      DisableConnectionProxy(platform.internet, platform.codec, std::wstring(kDefaultConnection));
  TellProxyOutcome(notifier, feedback, kHomeTexts, disabled);
  RunCommand(platform.shells, kDisconnectCommand);
}

}  // namespace rerevure::switching
