#include "switching/NetworkPlace.h"

#include <algorithm>
#include <cstddef>

#include "switching/ProfileTexts.h"

namespace rerevure::switching {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Both already in upper case.
bool NamesTheNetwork(const std::wstring& school_name, const std::wstring& name) {
  if (name.size() < school_name.size() + 2 || name.compare(0, school_name.size(), school_name) != 0)
    return name == school_name;
  return name[school_name.size()] == L' ' &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(school_name.size()) + 1, name.end(),
                     IsDigit);
}

}  // namespace

Place WhereIsTheLaptop(const std::vector<platform::ConnectedNetwork>& networks,
                       const std::vector<std::wstring>& school_networks,
                       const platform::TextCodec& codec) {
  using platform::Identification;
  const auto is = [](Identification state) {
    return [state](const platform::ConnectedNetwork& n) { return n.identification == state; };
  };
  std::vector<std::wstring> school_names;
  for (const std::wstring& name : school_networks) {
    if (!name.empty()) school_names.push_back(codec.ToUpperInvariant(name));
  }
  const bool at_school =
      std::any_of(networks.begin(), networks.end(), [&](const platform::ConnectedNetwork& n) {
        if (n.identification != Identification::Identified) return false;
        if (n.domain_authenticated) return true;
        if (n.name.empty()) return false;
        const std::wstring name = codec.ToUpperInvariant(n.name);
        return std::any_of(
            school_names.begin(), school_names.end(),
            [&](const std::wstring& school) { return NamesTheNetwork(school, name); });
      });
  // The school's network is evidence enough, whatever else is still being
  // identified; only "elsewhere" waits for the rest.
  if (at_school) return Place::School;
  if (std::any_of(networks.begin(), networks.end(), is(Identification::Identifying)))
    return Place::Undecided;
  if (std::none_of(networks.begin(), networks.end(), is(Identification::Identified)))
    return Place::Nowhere;
  return Place::Elsewhere;
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
