#pragma once

#include "platform/DomainMembership.h"

namespace rerevure::platform {

// NetGetJoinInformation for the local computer: joined when it reports a
// domain name, not a workgroup (as an Entra-only computer reports).
class Win32DomainMembership final : public DomainMembership {
 public:
  bool JoinedToDomain() override;
};

}  // namespace rerevure::platform
