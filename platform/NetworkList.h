#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace rerevure::platform {

// How far Windows has got in telling which network a connection is on.
enum class Identification {
  Identified,    // known; also wherever Windows cannot say (Wine)
  Identifying,   // still working it out: at logon, after resume, while 802.1X signs in
  Unidentified,  // given up: virtual adapters, some VPNs, a failed domain detection
};

// A network Windows reports as connected.
struct ConnectedNetwork {
  // Whatever is left out is as for a network Windows says nothing more of.
  ConnectedNetwork(std::wstring name = {}, bool domain_authenticated = false,
                   Identification identification = Identification::Identified, std::wstring id = {})
      : name(std::move(name)),
        domain_authenticated(domain_authenticated),
        identification(identification),
        id(std::move(id)) {}

  std::wstring name;  // what Windows shows for it (a Wi-Fi name, a domain, "Network 2"); may be ""
  bool domain_authenticated;  // the computer is signed in to its domain over it
  Identification identification;
  std::wstring id;  // Windows' own id of the network, as text; "" when it gives none

  friend bool operator==(const ConnectedNetwork&, const ConnectedNetwork&) = default;
};

// What the program needs of Windows' Network List Manager. It only reads what
// Windows already holds: nothing here sends anything over a network.
class NetworkList {
 public:
  virtual ~NetworkList() = default;
  // The networks connected now. Throws PlatformError when Windows cannot be asked.
  virtual std::vector<ConnectedNetwork> ConnectedNetworks() = 0;
  // From now on, changed() runs on the user-interface thread, from the
  // message loop, after each change of connectivity that Windows reports.
  // Throws PlatformError when Windows cannot be asked to tell.
  virtual void WatchChanges(std::function<void()> changed) = 0;
  // From now on changed() runs no more, whatever Windows still reports.
  virtual void StopWatching() noexcept = 0;
};

}  // namespace rerevure::platform
