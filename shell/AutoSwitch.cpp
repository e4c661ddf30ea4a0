#include "shell/AutoSwitch.h"

#include <exception>
#include <optional>
#include <utility>

#include "platform/PlatformError.h"

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
  Look();
  // Without the events the program still switched at start; the buttons and
  // the menu do the rest.
  try {
    networks_.WatchChanges([this] { ConnectivityChanged(); });
  } catch (const platform::PlatformError&) {
  }
}

void AutoSwitch::ConnectivityChanged() {
  // A new network, or none: the user's last switch was for the one before.
  user_switched_ = false;
  // Each change starts the quiet period over.
  try {
    if (!timer_) timer_ = timers_.Create([this] { Quiet(); });
    timer_->Start(kQuietPeriod);
  } catch (const platform::PlatformError&) {
    // No timer: a look per change still acts only on a difference.
    Look();
  }
}

void AutoSwitch::Quiet() {
  // One look per burst: the next change starts the timer again.
  timer_->Stop();
  Look();
}

void AutoSwitch::Look() {
  if (user_switched_) return;
  // Nobody clicked, so nothing here may end in an error box: a look that
  // fails leaves the profile as it is, and a switch that fails has already
  // told the user with its balloon what it was doing.
  try {
    const switching::ProfileChange change = ChangeCalledFor();
    if (change != switching::ProfileChange::None) change_profile_(change);
  } catch (const std::exception&) {
  }
}

switching::ProfileChange AutoSwitch::ChangeCalledFor() {
  const switching::Place place =
      switching::WhereIsTheLaptop(networks_.ConnectedNetworks(), settings_.school_networks, codec_);
  // Not connected, the proxy setting is of no interest.
  if (place == switching::Place::Nowhere) return switching::ProfileChange::None;
  const std::optional<platform::ConnectionProxySetting> proxy =
      internet_.QueryDefaultConnectionProxy();
  if (!proxy) return switching::ProfileChange::None;
  return switching::ChangeFor(place, switching::IsSetToSchoolProxy(*proxy, codec_));
}

}  // namespace rerevure::shell
