#include "shell/AutoSwitch.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>

#include "platform/PlatformError.h"
#include "settings/SchoolProxyPolicyReader.h"

namespace rerevure::shell {

using platform::ConnectedNetwork;
using platform::Identification;

namespace {

bool Contains(const std::vector<std::wstring>& ids, const std::wstring& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The ids of the networks in the given state, sorted, each once.
std::vector<std::wstring> IdsOf(const std::vector<ConnectedNetwork>& networks,
                                Identification state) {
  std::vector<std::wstring> ids;
  for (const ConnectedNetwork& network : networks) {
    if (network.identification == state) ids.push_back(network.id);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

}  // namespace

AutoSwitch::AutoSwitch(platform::NetworkList& networks, platform::TimerFactory& timers,
                       platform::AutomationShellFactory& shells, platform::PolicyValues& policies,
                       platform::InternetOptions& internet, platform::DomainMembership& domain,
                       const platform::TextCodec& codec, ChangeProfile change_profile)
    : networks_(networks),
      timers_(timers),
      shells_(shells),
      policies_(policies),
      internet_(internet),
      domain_(domain),
      codec_(codec),
      change_profile_(std::move(change_profile)) {}

AutoSwitch::~AutoSwitch() {
  if (watching_) networks_.StopWatching();
}

void AutoSwitch::Start() {
  settings_ = settings::LoadAutoSwitchSettings(shells_, policies_);
  if (!settings_.enabled || !SchoolCanBeRecognised()) return;
  // Without the events the program still looks once; the buttons and the
  // menu do the rest.
  try {
    networks_.WatchChanges([this] { ConnectivityChanged(); });
    watching_ = true;
  } catch (const platform::PlatformError&) {
  }
  WaitForQuiet();
}

bool AutoSwitch::SchoolCanBeRecognised() {
  // With no network named, only a domain network is the school's. A computer
  // on no domain (a pupil's own laptop, one joined only to Microsoft Entra
  // ID) would then find itself "elsewhere" at school every day.
  if (!settings_.school_networks.empty()) return true;
  try {
    return domain_.JoinedToDomain();
  } catch (const platform::PlatformError&) {
    return false;
  }
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
  try {
    if (!quiet_timer_) quiet_timer_ = timers_.Create([this] { Quiet(); });
    if (!longest_wait_timer_) longest_wait_timer_ = timers_.Create([this] { Quiet(); });
    // Each change starts the quiet period over, but not the longest wait.
    if (!waiting_for_quiet_) longest_wait_timer_->Start(kLongestWait);
    waiting_for_quiet_ = true;
    quiet_timer_->Start(kQuietPeriod);
  } catch (const platform::PlatformError&) {
    // No timer: a look at once still acts only on a difference.
    Look();
  }
}

void AutoSwitch::Quiet() {
  // One look per burst: the next change starts the timers again.
  quiet_timer_->Stop();
  longest_wait_timer_->Stop();
  waiting_for_quiet_ = false;
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

void AutoSwitch::LookOnce() {
  const unsigned switches_before = user_switches_;
  const unsigned changes_before = changes_;
  // Nobody clicked, so nothing here may end in an error box: a look that
  // fails leaves the profile as it is; a switch tells its own failures.
  try {
    std::vector<ConnectedNetwork> networks = networks_.ConnectedNetworks();
    CountLongIdentifyingAsUnidentified(networks);
    const switching::Place place =
        switching::WhereIsTheLaptop(networks, settings_.school_networks, codec_);
    LimitTheWaitForIdentification(networks, place);
    // Not connected, or not known yet (waking from sleep, a Wi-Fi drop of a
    // few seconds): neither the proxy setting nor the user's switch is of
    // interest until the place is known again.
    const bool known = place == switching::Place::School || place == switching::Place::Elsewhere;
    const NetworkIds ids = known ? IdsOf(networks, Identification::Identified) : NetworkIds{};
    if (changes_ == changes_before) ids_seen_ = known ? std::optional(ids) : std::nullopt;
    if (!known) return;
    if (last_change_ && last_change_->ids != ids) last_change_.reset();
    if (UserSwitchStands(ids, switches_before)) return;
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
    // A change Windows refused (proxy settings locked by policy) would be
    // refused again at every event, and each home switch cuts the drives
    // again: it is made once on these networks, and told once.
    if (last_change_ && last_change_->change == change) return;
    last_change_ = ChangeMade{ids, change};
    change_profile_(change);
  } catch (const std::exception&) {
  }
}

void AutoSwitch::CountLongIdentifyingAsUnidentified(std::vector<ConnectedNetwork>& networks) {
  // One identified since, or gone, gets its full time when it identifies again.
  const NetworkIds identifying = IdsOf(networks, Identification::Identifying);
  std::erase_if(overdue_, [&](const std::wstring& id) { return !Contains(identifying, id); });
  for (ConnectedNetwork& network : networks) {
    if (network.identification == Identification::Identifying && Contains(overdue_, network.id))
      network.identification = Identification::Unidentified;
  }
}

void AutoSwitch::LimitTheWaitForIdentification(const std::vector<ConnectedNetwork>& networks,
                                               switching::Place place) {
  if (place != switching::Place::Undecided) {
    if (waiting_for_identification_) identifying_timer_->Stop();
    waiting_for_identification_ = false;
    return;
  }
  // A network that starts identifying meanwhile waits for the next round.
  if (waiting_for_identification_) return;
  identifying_ = IdsOf(networks, Identification::Identifying);
  try {
    if (!identifying_timer_) identifying_timer_ = timers_.Create([this] { IdentifyingTooLong(); });
    identifying_timer_->Start(kIdentifyingLimit);
    waiting_for_identification_ = true;
  } catch (const platform::PlatformError&) {
    // No timer: the wait ends with Windows' next event.
  }
}

void AutoSwitch::IdentifyingTooLong() {
  identifying_timer_->Stop();
  waiting_for_identification_ = false;
  overdue_.insert(overdue_.end(), identifying_.begin(), identifying_.end());
  Look();
}

bool AutoSwitch::UserSwitchStands(const NetworkIds& ids_now, unsigned switches_before) {
  if (!user_switched_) return false;
  // A switch made while Windows was being asked, or while the place was not
  // known, was made on these networks.
  if (!ids_at_user_switch_ || user_switches_ != switches_before) ids_at_user_switch_ = ids_now;
  if (*ids_at_user_switch_ == ids_now) return true;
  // Another set of networks: the switch was for where the laptop was before.
  user_switched_ = false;
  return false;
}

}  // namespace rerevure::shell
