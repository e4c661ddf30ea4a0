#pragma once

#include "platform/PolicyValues.h"
#include "switching/SchoolProxy.h"

namespace rerevure::settings {

// The school's proxy values from Group Policy (see ReadPolicy), the
// computer's over the user's; there are no user's own values of these. A
// value that cannot be read throws PlatformError naming it.
switching::SchoolProxyPolicy ReadSchoolProxyPolicy(platform::PolicyValues& policies);

// The same for the school switch, read at each switch.
class SchoolProxyPolicyReader final : public switching::SchoolProxySource {
 public:
  explicit SchoolProxyPolicyReader(platform::PolicyValues& policies) : policies_(policies) {}
  switching::SchoolProxyPolicy Read() override { return ReadSchoolProxyPolicy(policies_); }

 private:
  platform::PolicyValues& policies_;
};

}  // namespace rerevure::settings
