#include "platform/win32/Win32DomainMembership.h"

// clang-format off
#include <windows.h>
#include <lmcons.h>
#include <lmerr.h>
#include <lmapibuf.h>
#include <lmjoin.h>
// clang-format on

#include <cstdint>

#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {

bool Win32DomainMembership::JoinedToDomain() {
  LPWSTR name = nullptr;
  NETSETUP_JOIN_STATUS status = NetSetupUnknownStatus;
  const NET_API_STATUS result = NetGetJoinInformation(nullptr, &name, &status);
  // Only the name is the caller's to free: the status is a plain value.
  const NetApiMemory<WCHAR> owned_name(name);
  if (result != NERR_Success) throw SystemError(static_cast<std::uint32_t>(result));
  return status == NetSetupDomainName;
}

}  // namespace rerevure::platform
