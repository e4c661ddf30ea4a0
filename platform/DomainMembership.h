#pragma once

namespace rerevure::platform {

// Whether the computer is joined to an Active Directory domain. A computer
// joined only to Microsoft Entra ID, or registered with it, is not: it
// never signs in to a domain over any network.
class DomainMembership {
 public:
  virtual ~DomainMembership() = default;
  // Throws PlatformError when Windows cannot say.
  virtual bool JoinedToDomain() = 0;
};

}  // namespace rerevure::platform
