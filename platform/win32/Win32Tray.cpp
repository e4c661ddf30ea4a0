#include "platform/win32/Win32Tray.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstddef>

namespace rerevure::platform {
namespace {

// NOTIFYICONDATAA up to and including dwInfoFlags. The headers' own struct
// carries later fields too (guidItem, hBalloonIcon); the shell reads only
// cbSize bytes, and cbSize names this version.
struct NotifyIconDataV2A {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[kTipLength];
  DWORD dwState;
  DWORD dwStateMask;
  CHAR szInfo[kInfoLength];
  UINT uTimeout;
  CHAR szInfoTitle[kInfoTitleLength];
  DWORD dwInfoFlags;
};

#define REREVURE_SAME_OFFSET(field) \
  static_assert(offsetof(NotifyIconDataV2A, field) == offsetof(NOTIFYICONDATAA, field))
REREVURE_SAME_OFFSET(hWnd);
REREVURE_SAME_OFFSET(uID);
REREVURE_SAME_OFFSET(uFlags);
REREVURE_SAME_OFFSET(uCallbackMessage);
REREVURE_SAME_OFFSET(hIcon);
REREVURE_SAME_OFFSET(szTip);
REREVURE_SAME_OFFSET(dwState);
REREVURE_SAME_OFFSET(dwStateMask);
REREVURE_SAME_OFFSET(szInfo);
REREVURE_SAME_OFFSET(uTimeout);
REREVURE_SAME_OFFSET(szInfoTitle);
REREVURE_SAME_OFFSET(dwInfoFlags);
#undef REREVURE_SAME_OFFSET

static_assert(sizeof(NotifyIconDataV2A) == NOTIFYICONDATAA_V2_SIZE);
static_assert(sizeof(NotifyIconDataV2A) == kNotifyIconRecordSize);
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(NotifyIconDataV2A) == 488, "the i686 program's record is 488 bytes");
#endif

}  // namespace

bool Win32Tray::Notify(std::uint32_t message, const NotifyIconRecord& record) {
  NotifyIconDataV2A data{};
  data.cbSize = record.cbSize;
  data.hWnd = reinterpret_cast<HWND>(record.hWnd);
  data.uID = record.uID;
  data.uFlags = record.uFlags;
  data.uCallbackMessage = record.uCallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.hIcon);
  ToAnsiField(codec_, record.szTip, data.szTip);
  data.dwState = record.dwState;
  data.dwStateMask = record.dwStateMask;
  ToAnsiField(codec_, record.szInfo, data.szInfo);
  data.uTimeout = record.uTimeout;
  ToAnsiField(codec_, record.szInfoTitle, data.szInfoTitle);
  data.dwInfoFlags = record.dwInfoFlags;
  return Shell_NotifyIconA(message, reinterpret_cast<NOTIFYICONDATAA*>(&data)) != FALSE;
}

}  // namespace rerevure::platform
