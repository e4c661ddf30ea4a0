#pragma once

#include "platform/Form.h"
#include "shell/TrayIcon.h"
#include "switching/Notifier.h"

namespace rerevure::shell {

// How the profile switches tell the user from the main window: message boxes
// owned by it with the application title, or balloons from its tray icon.
class MainWindowNotifier final : public switching::Notifier {
 public:
  MainWindowNotifier(platform::Form& form, TrayIcon& tray_icon)
      : form_(form), tray_icon_(tray_icon) {}

  void ShowMessage(const std::wstring& text) override;
  void ShowBalloon(const std::wstring& title, const std::wstring& text,
                   std::uint32_t timeout_ms) override;
  void ShowWarningMessage(const std::wstring& text) override;
  void ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                          std::uint32_t timeout_ms) override;

 private:
  platform::Form& form_;
  TrayIcon& tray_icon_;
};

}  // namespace rerevure::shell
