#include "shell/AutoSwitch.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "platform/PlatformError.h"
#include "settings/SchoolProxyPolicyReader.h"

namespace rerevure::shell {

AutoSwitch::AutoSwitch(platform::NetworkList& networks, platform::TimerFactory& timers,
                       platform::AutomationShellFactory& shells, platform::PolicyValues& policies,
                       platform::InternetOptions& internet, const platform::TextCodec& codec,
                       ChangeProfile change_profile)
    : networks_(networks),
      timers_(timers),
      shells_(shells),
      policies_(policies),
      internet_(internet),
      codec_(codec),
      change_profile_(std::move(change_profile)) {}

void AutoSwitch::Start() {
  settings_ = settings::LoadAutoSwitchSettings(shells_, policies_);
  if (!settings_.enabled) return;
  // Without the events the program still looks once; the buttons and the
  // menu do the rest.
  try {
    networks_.WatchChanges([this] { ConnectivityChanged(); });
  } catch (const platform::PlatformError&) {
  }
  WaitForQuiet();
}

void AutoSwitch::UserSwitched() {
  user_switched_ = true;
  ++user_switches_;
  ids_at_user_switch_ = ids_seen_;
}

void AutoSwitch::ConnectivityChanged() {
  // What the last look saw, or the one under way is reading, may no longer hold.
  ++changes_;
  ids_seen_.reset();
  WaitForQuiet();
}

void AutoSwitch::WaitForQuiet() {
  // Each change starts the quiet period over.
  try {
    if (!timer_) timer_ = timers_.Create([this] { Quiet(); });
    timer_->Start(kQuietPeriod);
  } catch (const platform::PlatformError&) {
    // No timer: a look at once still acts only on a difference.
    Look();
  }
}

void AutoSwitch::Quiet() {
  // One look per burst: the next change starts the timer again.
  timer_->Stop();
  Look();
}

void AutoSwitch::Look() {
  // A call to Windows can let the timer or a request run inside a look; a
  // second look then waits for the first and is made afresh after it, so
  // two never act on the same difference.
  if (looking_) {
    look_again_ = true;
    return;
  }
  looking_ = true;
  do {
    look_again_ = false;
    LookOnce();
  } while (look_again_);
  looking_ = false;
}

namespace {

std::vector<std::wstring> IdsOf(const std::vector<platform::ConnectedNetwork>& networks) {
  std::vector<std::wstring> ids;
  for (const platform::ConnectedNetwork& network : networks) ids.push_back(network.id);
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

}  // namespace

void AutoSwitch::LookOnce() {
  const unsigned switches_before = user_switches_;
  const unsigned changes_before = changes_;
  // Nobody clicked, so nothing here may end in an error box: a look that
  // fails leaves the profile as it is, and a switch that fails has already
  // told the user with its balloon what it was doing.
  try {
    const std::vector<platform::ConnectedNetwork> networks = networks_.ConnectedNetworks();
    const NetworkIds ids = IdsOf(networks);
    if (changes_ == changes_before) ids_seen_ = ids;
    if (UserSwitchStands(ids, switches_before)) return;
    const switching::Place place =
        switching::WhereIsTheLaptop(networks, settings_.school_networks, codec_);
    // Not connected, or not known yet: the proxy setting is of no interest.
    if (place == switching::Place::Nowhere || place == switching::Place::Undecided) return;
    const std::optional<platform::ConnectionProxySetting> proxy =
        internet_.QueryDefaultConnectionProxy();
    if (!proxy) return;
    // The policy as it is now: the school switch reads it at each switch too.
    const std::optional<bool> school_on =
        switching::IsSetToSchoolProxy(*proxy, settings::ReadSchoolProxyPolicy(policies_), codec_);
    // Bad policy values: the school switch would not set the proxy, so the
    // setting says nothing of the profile.
    if (!school_on) return;
    const switching::ProfileChange change = switching::ChangeFor(place, *school_on);
    // The user may have switched while Windows was being asked: theirs wins.
    if (change == switching::ProfileChange::None || user_switches_ != switches_before) return;
    change_profile_(change);
  } catch (const std::exception&) {
  }
}

bool AutoSwitch::UserSwitchStands(const NetworkIds& ids_now, unsigned switches_before) {
  if (!user_switched_) return false;
  // A switch made while Windows was being asked was made on these networks.
  if (!ids_at_user_switch_ || user_switches_ != switches_before) ids_at_user_switch_ = ids_now;
  if (*ids_at_user_switch_ == ids_now) return true;
  // Another set of networks: the switch was for where the laptop was before.
  user_switched_ = false;
  return false;
}

}  // namespace rerevure::shell
