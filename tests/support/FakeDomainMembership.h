#pragma once

#include "platform/DomainMembership.h"

namespace rerevure::testing {

// Whether the computer is on a domain, as the test sets it: joined unless
// told otherwise, as the school laptops the tests picture are.
class FakeDomainMembership final : public platform::DomainMembership {
 public:
  bool JoinedToDomain() override { return joined; }

  bool joined = true;
};

}  // namespace rerevure::testing
