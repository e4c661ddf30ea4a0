#include "shell/AutoSwitch.h"

#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "platform/PlatformError.h"

namespace rerevure::shell {

AutoSwitch::AutoSwitch(const AutoSwitchPlatform& platform, platform::AutomationShellFactory& shells,
                       platform::InternetOptions& internet, const platform::TextCodec& codec,
                       ChangeProfile change_profile)
    : platform_(platform),
      shells_(shells),
      internet_(internet),
      codec_(codec),
      change_profile_(std::move(change_profile)) {}

void AutoSwitch::Start() {
  settings_ = settings::LoadAutoSwitchSettings(shells_);
  if (!settings_.enabled) return;
  Look();
  // Without the events the program still switched at start; the buttons and
  // the menu do the rest.
  try {
    platform_.networks.WatchChanges([this] { ConnectivityChanged(); });
  } catch (const platform::PlatformError&) {
  }
}

void AutoSwitch::ConnectivityChanged() {
  // A new network, or none: the user's last switch was for the one before.
  user_switched_ = false;
  try {
    platform_.timer.Start(kQuietPeriod, [this] { Look(); });
  } catch (const platform::PlatformError&) {
    // No timer: a look per change still acts only on a difference.
    Look();
  }
}

void AutoSwitch::Look() {
  if (user_switched_) return;
  std::vector<platform::ConnectedNetwork> networks;
  try {
    networks = platform_.networks.ConnectedNetworks();
  } catch (const platform::PlatformError&) {
    return;  // where the laptop is cannot be told: nothing to act on
  }
  const switching::Place place =
      switching::WhereIsTheLaptop(networks, settings_.school_networks, codec_);
  if (place == switching::Place::Nowhere) return;
  const std::optional<platform::ConnectionProxySetting> proxy =
      internet_.QueryDefaultConnectionProxy();
  if (!proxy) return;
  const switching::ProfileChange change =
      switching::ChangeFor(place, switching::IsSetToSchoolProxy(*proxy, codec_));
  if (change == switching::ProfileChange::None) return;
  // Nobody clicked, so nobody is shown an error box: the switch's balloon
  // has already told the user what was being done.
  try {
    change_profile_(change);
  } catch (const std::exception&) {
  }
}

}  // namespace rerevure::shell
