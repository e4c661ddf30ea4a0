#include "shell/MainWindowNotifier.h"

#include "shell/ShellTexts.h"

namespace rerevure::shell {

void MainWindowNotifier::ShowMessage(const std::wstring& text) {
  // OK and Cancel, no icon; which button closed it makes no difference.
  form_.ShowMessage(text, std::wstring(kApplicationTitle), platform::kMbOkCancel);
}

void MainWindowNotifier::ShowBalloon(const std::wstring& title, const std::wstring& text,
                                     std::uint32_t timeout_ms) {
  tray_icon_.ShowBalloon(title, text, timeout_ms);
}

void MainWindowNotifier::ShowWarningMessage(const std::wstring& text) {
  form_.ShowMessage(text, std::wstring(kApplicationTitle),
                    platform::kMbOk | platform::kMbIconWarning);
}

void MainWindowNotifier::ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                                            std::uint32_t timeout_ms) {
  tray_icon_.ShowWarningBalloon(title, text, timeout_ms);
}

}  // namespace rerevure::shell
