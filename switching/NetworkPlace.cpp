#include "switching/NetworkPlace.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "switching/ProfileTexts.h"

namespace rerevure::switching {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The library answers with the text it was given, without the NUL it was
// given with.
bool SameText(const std::string& answered, const std::variant<std::uint32_t, std::string>& given) {
  const std::string& text = std::get<std::string>(given);
  return answered == std::string_view(text).substr(0, text.find('\0'));
}

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

std::optional<bool> IsSetToSchoolProxy(const platform::ConnectionProxySetting& setting,
                                       const SchoolProxyPolicy& policy,
                                       const platform::TextCodec& codec) {
  const auto school = MakeSchoolOptionList(codec, std::wstring(kDefaultConnection), policy);
  const auto* list = std::get_if<platform::PerConnectionOptionList>(&school);
  if (!list) return std::nullopt;
  constexpr std::uint32_t kCompared = platform::kProxyTypeProxy | platform::kProxyTypeAutoProxyUrl;
  for (const platform::PerConnectionOption& option : list->options) {
    if (option.option == platform::kPerConnFlags) {
      if ((setting.flags & kCompared) != (std::get<std::uint32_t>(option.value) & kCompared))
        return false;
    } else if (option.option == platform::kPerConnProxyServer) {
      if (!SameText(setting.proxy_server, option.value)) return false;
    } else if (option.option == platform::kPerConnAutoConfigUrl) {
      if (!SameText(setting.auto_config_url, option.value)) return false;
    }
  }
  return true;
}

ProfileChange ChangeFor(Place place, bool set_to_school_proxy) {
  if (place == Place::School && !set_to_school_proxy) return ProfileChange::EnterSchool;
  if (place == Place::Elsewhere && set_to_school_proxy) return ProfileChange::EnterHome;
  return ProfileChange::None;
}

}  // namespace rerevure::switching
