#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AutomationShell.h"
#include "platform/DomainMembership.h"
#include "platform/InternetOptions.h"
#include "platform/NetworkList.h"
#include "platform/PolicyValues.h"
#include "platform/TextCodec.h"
#include "platform/Timer.h"
#include "settings/AutoSwitchSettings.h"
#include "switching/NetworkPlace.h"

namespace rerevure::shell {

// Connectivity changes come in bursts; the program looks once they have been
// quiet this long...
inline constexpr std::chrono::milliseconds kQuietPeriod{2000};
// ...or at the latest this long after the first change of a burst: an
// adapter that flaps would otherwise put every look off.
inline constexpr std::chrono::milliseconds kLongestWait{10000};
// A network still "Identifying..." after this long counts as unidentified:
// some VPN and virtual adapters stay there for good.
inline constexpr std::chrono::milliseconds kIdentifyingLimit{60000};

// Switches the profile by itself when the laptop arrives at school or leaves
// it, once a school has turned this on. It reads only what Windows already
// holds (the connected networks, the proxy setting) and acts only on a
// difference between the two. A switch the user made wins until the set of
// identified networks changes: Windows also reports changes of one network's
// connectivity or properties, and a network being identified again after
// sleep, none of which says the laptop has moved.
class AutoSwitch {
 public:
  // Makes a profile change with nobody to answer: the tray menu's switches.
  using ChangeProfile = std::function<void(switching::ProfileChange)>;

  AutoSwitch(platform::NetworkList& networks, platform::TimerFactory& timers,
             platform::AutomationShellFactory& shells, platform::PolicyValues& policies,
             platform::InternetOptions& internet, platform::DomainMembership& domain,
             const platform::TextCodec& codec, ChangeProfile change_profile);
  // Windows' events stop before the object goes.
  ~AutoSwitch();
  AutoSwitch(const AutoSwitch&) = delete;
  AutoSwitch& operator=(const AutoSwitch&) = delete;

  // After the main window has loaded: reads whether it is on and whether the
  // school can be recognised here (see SchoolCanBeRecognised); if so, looks
  // once things have been quiet for a while, and again after each burst of
  // connectivity changes. A logon is often still bringing its networks up,
  // so even the first look waits.
  void Start();
  // The user switched (a button, the tray menu or a request by name).
  void UserSwitched();

 private:
  using NetworkIds = std::vector<std::wstring>;
  // A change switching by itself made, and the networks it was made on.
  struct ChangeMade {
    NetworkIds ids;
    switching::ProfileChange change;
  };

  bool SchoolCanBeRecognised();
  void ConnectivityChanged();
  void WaitForQuiet();
  void Quiet();
  void Look();
  void LookOnce();
  // Identifying networks that have been so for kIdentifyingLimit count as unidentified.
  void CountLongIdentifyingAsUnidentified(std::vector<platform::ConnectedNetwork>& networks);
  // While the place waits on identification, a look comes at the latest
  // when the networks identifying now are overdue.
  void LimitTheWaitForIdentification(const std::vector<platform::ConnectedNetwork>& networks,
                                     switching::Place place);
  void IdentifyingTooLong();
  // Whether the user's switch still stands by the networks now identified.
  bool UserSwitchStands(const NetworkIds& ids_now, unsigned switches_before);

  platform::NetworkList& networks_;
  platform::TimerFactory& timers_;
  platform::AutomationShellFactory& shells_;
  platform::PolicyValues& policies_;
  platform::InternetOptions& internet_;
  platform::DomainMembership& domain_;
  const platform::TextCodec& codec_;
  ChangeProfile change_profile_;
  settings::AutoSwitchSettings settings_;
  bool watching_ = false;
  bool user_switched_ = false;
  // Counts the user's switches: a look that asked Windows something sees
  // whether one ran meanwhile (a call to Windows can let a handed-over
  // request run).
  unsigned user_switches_ = 0;
  // The networks identified when the user switched, once known.
  std::optional<NetworkIds> ids_at_user_switch_;
  // Counts the changes Windows reported, for the same reason.
  unsigned changes_ = 0;
  // The networks of the last look that knew the place, until the next
  // change makes them stale.
  std::optional<NetworkIds> ids_seen_;
  // The last change made by itself: not made again on the same networks.
  std::optional<ChangeMade> last_change_;
  bool looking_ = false;
  bool look_again_ = false;
  // Made at start: none while switching by itself is off.
  std::unique_ptr<platform::Timer> quiet_timer_;
  std::unique_ptr<platform::Timer> longest_wait_timer_;
  bool waiting_for_quiet_ = false;
  std::unique_ptr<platform::Timer> identifying_timer_;
  bool waiting_for_identification_ = false;
  // The ids identifying when that timer started, and those that were so for
  // its whole interval.
  NetworkIds identifying_;
  NetworkIds overdue_;
};

}  // namespace rerevure::shell
