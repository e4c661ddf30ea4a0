#include "platform/win32/Win32PolicyValues.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/Win32LastError.h"
#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {
namespace {

bool NotSet(LSTATUS status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

// The text of a string value's bytes, without the terminating NUL the value
// may or may not carry.
std::wstring StringOf(const std::vector<BYTE>& data) {
  std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  if (const auto end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
  return text;
}

std::wstring Expanded(const std::wstring& text) {
  std::wstring expanded(text.size() + 1, L'\0');
  for (;;) {
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                   static_cast<DWORD>(expanded.size()));
    if (needed == 0) throw LastPlatformError();
    if (needed <= expanded.size()) {
      expanded.resize(needed - 1);  // the count includes the NUL
      return expanded;
    }
    expanded.resize(needed);
  }
}

}  // namespace

std::optional<std::wstring> Win32PolicyValues::Read(PolicyScope scope, const std::wstring& key,
                                                    const std::wstring& name) {
  const HKEY hive = scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  HKEY opened = nullptr;
  // KEY_WOW64_64KEY: a 32-bit program on 64-bit Windows must not look in
  // Wow6432Node, which the policy engine never writes. 32-bit Windows ignores it.
  LSTATUS status = RegOpenKeyExW(hive, key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened);
  if (NotSet(status)) return std::nullopt;
  if (status != ERROR_SUCCESS) throw SystemError(static_cast<std::uint32_t>(status));
  const OwnedRegistryKey policies(opened);

  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  for (;;) {
    DWORD size = static_cast<DWORD>(data.size());
    status = RegQueryValueExW(policies.get(), name.c_str(), nullptr, &type,
                              data.empty() ? nullptr : data.data(), &size);
    if (NotSet(status)) return std::nullopt;
    // The first call, or the value grew in between (a policy refresh): ask again.
    if (status == ERROR_MORE_DATA || (status == ERROR_SUCCESS && data.empty() && size != 0)) {
      data.resize(size);
      continue;
    }
    if (status != ERROR_SUCCESS) throw SystemError(static_cast<std::uint32_t>(status));
    data.resize(size);
    break;
  }

  switch (type) {
    case REG_SZ:
      return StringOf(data);
    case REG_EXPAND_SZ:
      return Expanded(StringOf(data));
    case REG_DWORD:
      if (data.size() == sizeof(DWORD)) {
        DWORD number = 0;
        std::memcpy(&number, data.data(), sizeof number);
        return std::to_wstring(number);
      }
      break;
    default:
      break;
  }
  throw SystemError(ERROR_DATATYPE_MISMATCH);
}

}  // namespace rerevure::platform
