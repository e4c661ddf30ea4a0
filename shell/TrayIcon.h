#pragma once

#include <cstdint>
#include <string>

#include "platform/NotifyIconRecord.h"
#include "platform/Tray.h"

namespace rerevure::shell {

// The main window's tray icon: the one record the window keeps for its whole
// life, and the tray operations, each passing the whole record.
class TrayIcon {
 public:
  // The icon's id; its notifications arrive as the window's mouse moves
  // (platform::kTrayCallbackMessage).
  static constexpr std::uint32_t kIconId = 1;

  explicit TrayIcon(platform::Tray& tray) : tray_(tray) {}

  // Fills the record at load with the window's handle and icon.
  void Fill(std::uintptr_t window, std::uintptr_t icon);
  // True when the shell took the add.
  bool AddIcon();
  // An information balloon (the ones the profile switches and About show).
  void ShowBalloon(const std::wstring& title, const std::wstring& text, std::uint32_t timeout_ms);
  // The same with the warning icon, for a switch that went wrong.
  void ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                          std::uint32_t timeout_ms);
  void RemoveIcon();
  // Adds the icon again, without repeating the last balloon the record still
  // holds: for a new taskbar (Explorer restarted), which knows no icon of
  // ours, and after an add that failed. True when the icon is in the tray.
  bool AddIconAgain();

  const platform::NotifyIconRecord& Record() const { return record_; }

 private:
  void Balloon(std::uint32_t info_flags, const std::wstring& title, const std::wstring& text,
               std::uint32_t timeout_ms);

  platform::Tray& tray_;
  platform::NotifyIconRecord record_;
};

}  // namespace rerevure::shell
