#include "platform/Win32DomainMembership.h"

// clang-format off
#include <windows.h>
#include <lmcons.h>
#include <lmerr.h>
#include <lmapibuf.h>
#include <lmjoin.h>
// clang-format on

#include <cstdint>

#include "platform/Win32LastError.h"

namespace rerevure::platform {

bool Win32DomainMembership::JoinedToDomain() {
  LPWSTR name = nullptr;
  NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
  const NET_API_STATUS result = NetGetJoinInformation(nullptr, &name, &status);
  if (result != NERR_Success) throw SystemError(static_cast<std::uint32_t>(result));
  // Only the name is freed: the status is a plain value. A refused free
  // leaves nothing to do.
  if (name != nullptr) NetApiBufferFree(name);
  return status == NetSetupDomainName;
}

}  // namespace rerevure::platform
