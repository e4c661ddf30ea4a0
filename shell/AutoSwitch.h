#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
// difference between the two. A switch the user made wins until the set of
// connected networks changes: Windows also reports changes of one network's
// connectivity or properties, which say nothing about where the laptop is.
class AutoSwitch {
 public:
  // Makes a profile change with nobody to answer: the tray menu's switches.
  using ChangeProfile = std::function<void(switching::ProfileChange)>;

  AutoSwitch(platform::NetworkList& networks, platform::TimerFactory& timers,
             platform::AutomationShellFactory& shells, platform::PolicyValues& policies,
             platform::InternetOptions& internet, const platform::TextCodec& codec,
             ChangeProfile change_profile);

  // After the main window has loaded: reads whether it is on and, if so,
  // looks once things have been quiet for a while, and again after each
  // burst of connectivity changes. A logon is often still bringing its
  // networks up, so even the first look waits.
  void Start();
  // The user switched (a button, the tray menu or a request by name).
  void UserSwitched();

 private:
  using NetworkIds = std::vector<std::wstring>;

  void ConnectivityChanged();
  void WaitForQuiet();
  void Quiet();
  void Look();
  void LookOnce();
  // Whether the user's switch still stands by the networks now connected.
  bool UserSwitchStands(const NetworkIds& ids_now, unsigned switches_before);

  platform::NetworkList& networks_;
  platform::TimerFactory& timers_;
  platform::AutomationShellFactory& shells_;
  platform::PolicyValues& policies_;
  platform::InternetOptions& internet_;
  const platform::TextCodec& codec_;
  ChangeProfile change_profile_;
  settings::AutoSwitchSettings settings_;
  bool user_switched_ = false;
  // Counts the user's switches: a look that asked Windows something sees
  // whether one ran meanwhile (a call to Windows can let a handed-over
  // request run).
  unsigned user_switches_ = 0;
  // The networks connected when the user switched, once known.
  std::optional<NetworkIds> ids_at_user_switch_;
  // Counts the changes Windows reported, for the same reason.
  unsigned changes_ = 0;
  // The networks of the last look, until the next change makes them stale.
  std::optional<NetworkIds> ids_seen_;
  bool looking_ = false;
  bool look_again_ = false;
  // Made at start: none while switching by itself is off.
  std::unique_ptr<platform::Timer> timer_;
};

}  // namespace rerevure::shell
