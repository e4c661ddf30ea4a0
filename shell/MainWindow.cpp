#include "shell/MainWindow.h"

#include <exception>
#include <string>

#include "settings/DriveSettingsStore.h"
#include "shell/MainWindowLayout.h"
#include "shell/ShellTexts.h"

namespace rerevure::shell {
namespace {

// Button states of a mouse move; a tray notification arrives as the left
// button (its first parameter is the icon's id, 1).
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;

bool IsProfileSwitch(int id) {
  return id == kCommand1 || id == kCommand2 || id == kMnuSchoolNetwork || id == kMnuHomeNetwork;
}

}  // namespace

using switching::Feedback;

MainWindow::MainWindow(const ShellPlatform& platform, const switching::ProfilePlatform& profiles,
                       settings::SettingsWindow& settings)
    : platform_(platform), profiles_(profiles), settings_(settings), tray_icon_(platform.tray) {}

MainWindow::~MainWindow() {
  if (form_ && !ending_) tray_icon_.RemoveIcon();
}

void MainWindow::Start() {
  form_ = platform_.forms.Create(MainWindowLayout(), *this);
  notifier_.emplace(*form_, tray_icon_);
  EnableBalloonTips();
  form_->MakeTopmost();
  // The handle is read after the window was made topmost.
  tray_icon_.Fill(form_->Handle(), form_->IconHandle());
  tray_icon_.AddIcon();
  form_->Show();
}

void MainWindow::EnableBalloonTips() {
  // On a locked-down machine the write may be refused; the program is of use
  // without balloons, so start-up goes on.
  try {
    std::unique_ptr<platform::AutomationShell> shell =
        platform_.shells.Create(std::wstring(settings::kShellProgId));
    if (shell) shell->RegWrite(std::wstring(kEnableBalloonTipsPath), L"1", L"REG_DWORD");
  } catch (const std::exception&) {
  }
}

void MainWindow::OnCommand(int id) {
  if (!Active()) return;
  if (IsProfileSwitch(id) && user_switch_) user_switch_();
  switch (id) {
    case kCommand1:
      switching::EnterSchoolProfile(profiles_, Feedback::MessageBox, *notifier_, settings_);
      break;
    case kCommand2:
      switching::EnterHomeProfile(profiles_, Feedback::MessageBox, *notifier_);
      break;
    case kCommand3:
    case kMnuExit:
      RemoveIconAndEnd();
      break;
    case kCommand4:
      form_->Hide();
      break;
    case kCommand5:
      settings_.Show();
      break;
    case kMnuSchoolNetwork:
      switching::EnterSchoolProfile(profiles_, Feedback::Balloon, *notifier_, settings_);
      break;
    case kMnuHomeNetwork:
      switching::EnterHomeProfile(profiles_, Feedback::Balloon, *notifier_);
      break;
    case kMnuAbout:
      tray_icon_.ShowBalloon(std::wstring(kAboutTitle), AboutText(), kAboutTimeoutMs);
      break;
  }
}

void MainWindow::SwitchByItself(switching::ProfileChange change) {
  if (!Active()) return;
  if (change == switching::ProfileChange::EnterSchool)
    switching::EnterSchoolProfile(profiles_, Feedback::Balloon, *notifier_, settings_);
  else if (change == switching::ProfileChange::EnterHome)
    switching::EnterHomeProfile(profiles_, Feedback::Balloon, *notifier_);
}

void MainWindow::OnDoubleClick(int control_id) {
  if (Active() && control_id == kFrame1) OpenWebPage();
}

void MainWindow::OpenWebPage() {
  // Continue-on-error: a browser that cannot be started is not worth a
  // message. Where the specified browser is missing, the user's default one
  // opens the page.
  const std::wstring address(kOrganisationWebAddress);
  try {
    platform_.processes.Start(std::wstring(kBrowserCommand) + address, platform::kSwShowMinimized);
    return;
  } catch (const std::exception&) {
  }
  try {
    platform_.processes.OpenWithDefaultBrowser(address, platform::kSwShowMinimized);
  } catch (const std::exception&) {
  }
}

void MainWindow::OnMouseMove(int button_state) {
  if (!Active()) return;
  if (button_state == kRightButton) {
    form_->PopupMenu(MainMenuItems());
  } else if (button_state == kLeftButton) {
    form_->ShowAndActivate();
  }
}

void MainWindow::OnFocusLost() {
  if (Active()) form_->MakeTopmost();
}

void MainWindow::OnClose() {
  // Log-off or another close by the platform. The program ends here even
  // while a hidden settings window is loaded: left running it would have no
  // visible window and no icon to be reached by.
  if (Active()) RemoveIconAndEnd();
}

void MainWindow::OnTaskbarCreated() {
  if (Active()) tray_icon_.AddIconAgain();
}

void MainWindow::RemoveIconAndEnd() {
  tray_icon_.RemoveIcon();
  ending_ = true;
  platform_.application.End();
}

}  // namespace rerevure::shell
