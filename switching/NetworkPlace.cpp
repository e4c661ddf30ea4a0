#include "switching/NetworkPlace.h"

#include <algorithm>

#include "switching/ProfileTexts.h"

namespace rerevure::switching {

Place WhereIsTheLaptop(const std::vector<platform::ConnectedNetwork>& networks,
                       const std::vector<std::wstring>& school_networks,
                       const platform::TextCodec& codec) {
  if (networks.empty()) return Place::Nowhere;
  std::vector<std::wstring> school_names;
  for (const std::wstring& name : school_networks) {
    if (!name.empty()) school_names.push_back(codec.ToUpperInvariant(name));
  }
  const bool at_school =
      std::any_of(networks.begin(), networks.end(), [&](const platform::ConnectedNetwork& n) {
        if (n.domain_authenticated) return true;
        if (n.name.empty()) return false;
        const std::wstring name = codec.ToUpperInvariant(n.name);
        return std::find(school_names.begin(), school_names.end(), name) != school_names.end();
      });
  return at_school ? Place::School : Place::Elsewhere;
}

bool IsSetToSchoolProxy(const platform::ConnectionProxySetting& setting,
                        const platform::TextCodec& codec) {
  return (setting.flags & platform::kProxyTypeProxy) != 0 &&
         setting.proxy_server == codec.ToAnsi(kSchoolProxyAddress);
}

ProfileChange ChangeFor(Place place, bool set_to_school_proxy) {
  if (place == Place::School && !set_to_school_proxy) return ProfileChange::EnterSchool;
  if (place == Place::Elsewhere && set_to_school_proxy) return ProfileChange::EnterHome;
  return ProfileChange::None;
}

}  // namespace rerevure::switching
