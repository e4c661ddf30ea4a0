#include "shell/TrayIcon.h"

namespace rerevure::shell {

using namespace platform;

void TrayIcon::Fill(std::uintptr_t window, std::uintptr_t icon) {
  record_.cbSize = kNotifyIconRecordSize;
  record_.hWnd = window;
  record_.uID = kIconId;
  record_.uFlags = kNifMessage | kNifIcon | kNifTip | kNifInfo;
  record_.uCallbackMessage = kTrayCallbackMessage;
  record_.dwState = 2;
  record_.hIcon = icon;
  record_.szTip = FixedTextField(L"", kTipLength);
}

bool TrayIcon::AddIcon() { return tray_.Notify(kNimAdd, record_); }

void TrayIcon::ShowBalloon(const std::wstring& title, const std::wstring& text,
                           std::uint32_t timeout_ms) {
  Balloon(kNiifInfo, title, text, timeout_ms);
}

void TrayIcon::ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                                  std::uint32_t timeout_ms) {
  Balloon(kNiifWarning, title, text, timeout_ms);
}

void TrayIcon::Balloon(std::uint32_t info_flags, const std::wstring& title,
                       const std::wstring& text, std::uint32_t timeout_ms) {
  record_.uTimeout = timeout_ms;
  record_.dwInfoFlags = info_flags;
  record_.szInfoTitle = FixedTextField(title, kInfoTitleLength);
  record_.szInfo = FixedTextField(text, kInfoLength);
  // uFlags always holds NIF_INFO, so every modify shows the balloon.
  tray_.Notify(kNimModify, record_);
}

void TrayIcon::RemoveIcon() { tray_.Notify(kNimDelete, record_); }

bool TrayIcon::AddIconAgain() {
  NotifyIconRecord without_balloon = record_;
  without_balloon.uFlags &= ~kNifInfo;
  if (tray_.Notify(kNimAdd, without_balloon)) return true;
  // An earlier add that timed out may have reached the shell after all; it
  // then refuses a second add of the same icon, and only a modify, which
  // changes nothing visible here, tells that the icon is there.
  return tray_.Notify(kNimModify, without_balloon);
}

}  // namespace rerevure::shell
