#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "platform/AutomationShell.h"
#include "platform/InternetOptions.h"
#include "platform/NetworkList.h"
#include "platform/PolicyValues.h"
#include "platform/TextCodec.h"
#include "platform/Timer.h"
#include "settings/AutoSwitchSettings.h"
#include "switching/NetworkPlace.h"

namespace rerevure::shell {

// Connectivity changes come in bursts; the program looks once they have been
// quiet this long.
inline constexpr std::chrono::milliseconds kQuietPeriod{2000};

// Switches the profile by itself when the laptop arrives at school or leaves
// it, once a school has turned this on. It reads only what Windows already
// holds (the connected networks, the proxy setting) and acts only on a
// difference between the two; a switch the user made wins until the next
// connectivity change.
class AutoSwitch {
 public:
  // Makes a profile change with nobody to answer: the tray menu's switches.
  using ChangeProfile = std::function<void(switching::ProfileChange)>;

  AutoSwitch(platform::NetworkList& networks, platform::TimerFactory& timers,
             platform::AutomationShellFactory& shells, platform::PolicyValues& policies,
             platform::InternetOptions& internet, const platform::TextCodec& codec,
             ChangeProfile change_profile);

  // After the main window has loaded: reads whether it is on and, if so,
  // looks once and again after each burst of connectivity changes.
  void Start();
  // The user switched (a button or the tray menu).
  void UserSwitched() { user_switched_ = true; }

 private:
  void ConnectivityChanged();
  void Quiet();
  void Look();
  // Throws PlatformError when the networks cannot be read.
  switching::ProfileChange ChangeCalledFor();

  platform::NetworkList& networks_;
  platform::TimerFactory& timers_;
  platform::AutomationShellFactory& shells_;
  platform::PolicyValues& policies_;
  platform::InternetOptions& internet_;
  const platform::TextCodec& codec_;
  ChangeProfile change_profile_;
  settings::AutoSwitchSettings settings_;
  bool user_switched_ = false;
  // Made at the first connectivity change: none while switching by itself is off.
  std::unique_ptr<platform::Timer> timer_;
};

}  // namespace rerevure::shell
