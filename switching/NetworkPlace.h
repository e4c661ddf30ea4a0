#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/InternetOptions.h"
#include "platform/NetworkList.h"
#include "platform/TextCodec.h"
#include "switching/SchoolProxy.h"

namespace rerevure::switching {

// Where the laptop is, as far as the networks Windows reports tell.
enum class Place {
  School,     // an identified network is the school's, whatever else is still identifying
  Elsewhere,  // on identified networks, none of them the school's, and nothing identifying
  Nowhere,    // on no identified network: not connected, or only unidentified ones
  Undecided,  // not at school so far, and Windows is still identifying a network:
              // its end brings another look
};

// Only networks Windows has identified count: one it is still identifying,
// or has given up on, may well be the school's. An identified network is the
// school's when the computer is signed in to its domain over it, or when its
// name is one of school_networks, compared without regard to case, or one
// of them followed by a blank and a number (Windows numbers a second profile
// of a network that way: "School-WiFi 2").
Place WhereIsTheLaptop(const std::vector<platform::ConnectedNetwork>& networks,
                       const std::vector<std::wstring>& school_networks,
                       const platform::TextCodec& codec);

// The default connection holds what the school switch would set now, so
// that a school with a proxy of its own is not switched over and over: the
// proxy flag and the automatic configuration flag each on exactly when the
// switch sets them, with its proxy server and its script address. The bypass
// list is not compared (Wine keeps none). Nothing when the policy's values
// are bad: the switch would leave the proxy as it is, so no setting is the
// school's.
std::optional<bool> IsSetToSchoolProxy(const platform::ConnectionProxySetting& setting,
                                       const SchoolProxyPolicy& policy,
                                       const platform::TextCodec& codec);

// What a difference between where the laptop is and how it is set calls for.
enum class ProfileChange { None, EnterSchool, EnterHome };

// Nothing unless they differ: at school off the school proxy, the school
// profile; elsewhere on it, the home profile; nowhere or undecided, nothing.
ProfileChange ChangeFor(Place place, bool set_to_school_proxy);

}  // namespace rerevure::switching
