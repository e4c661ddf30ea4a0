#pragma once

#include <functional>
#include <string>
#include <vector>

namespace rerevure::platform {

// A network Windows reports as connected.
struct ConnectedNetwork {
  std::wstring name;  // what Windows shows for it (a Wi-Fi name, a domain, "Network 2"); may be ""
  bool domain_authenticated = false;  // the computer is signed in to its domain over it

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
};

}  // namespace rerevure::platform
