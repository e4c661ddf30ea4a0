#include "platform/win32/Win32RandomSource.h"

// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include "platform/win32/Win32LastError.h"

namespace rerevure::platform {

void Win32RandomSource::Fill(std::span<std::uint8_t> bytes) {
  const NTSTATUS status = BCryptGenRandom(nullptr, bytes.data(), static_cast<ULONG>(bytes.size()),
                                          BCRYPT_USE_SYSTEM_PREFERRED_RNG);
  // The status is reported as its number: the system has a text for few of them.
  if (!BCRYPT_SUCCESS(status)) throw SystemError(static_cast<std::uint32_t>(status));
}

}  // namespace rerevure::platform
