#pragma once

#include "platform/AutomationShell.h"
#include "platform/CommandInterpreter.h"
#include "platform/FolderIdentity.h"
#include "platform/InternetOptions.h"
#include "platform/RandomSource.h"
#include "platform/TextCodec.h"
#include "platform/TextFiles.h"
#include "switching/Feedback.h"
#include "switching/Notifier.h"
#include "switching/SchoolProxy.h"
#include "switching/ScriptRun.h"
#include "switching/SettingsSource.h"

namespace rerevure::switching {

// What the two profile switches use: the platform operations, the one drive
// script run the school switches share, and the school's proxy policy.
struct ProfilePlatform {
  platform::InternetOptions& internet;
  platform::AutomationShellFactory& shells;
  platform::TextFiles& files;
  const platform::TextCodec& codec;
  platform::FolderIdentity& folders;
  platform::CommandInterpreter& interpreter;
  platform::RandomSource& random;
  ScriptRun& script_run;
  SchoolProxySource& school_proxy;
};

// Puts the default connection on the school proxy (the one the school's
// policy sets, else the built-in one), tells the user, writes the
// drive-mapping script from the values in settings and starts the command
// interpreter on it. Any step that fails is skipped and the next one runs;
// nothing is thrown. The script is written only into the program's own folder
// and only a script this switch created is started. Two things the user is
// told about: a proxy not set (instead of the usual feedback) because the
// library refused it, or the policy could not be read or holds a bad value,
// which leaves the proxy as it was; and, last, drives that could not be
// mapped because the script folder is not the program's, or the script could
// not be written or started.
// A script of an earlier switch that still runs is ended, with all it
// started, and deleted before the new one is written. When the file at the
// script's path cannot be removed (another user's), this switch's script
// goes beside it under a name nobody can guess; that file is neither written
// into nor run.
// Once the program has begun to end (a way out taken while the feedback was
// shown), no script is written or started.
void EnterSchoolProfile(const ProfilePlatform& platform, Feedback feedback, Notifier& notifier,
                        SettingsSource& settings);

// Sets the default connection to direct access, tells the user, ends a school
// switch's script that still runs and deletes it, and starts the command that
// removes every drive mapping. A failure (PlatformError from the
// shell object, or whatever the notifier throws) goes to the caller.
void EnterHomeProfile(const ProfilePlatform& platform, Feedback feedback, Notifier& notifier);

}  // namespace rerevure::switching
