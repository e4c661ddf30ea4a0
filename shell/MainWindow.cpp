#include "shell/MainWindow.h"

#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ErrorReport.h"
#include "settings/DriveSettingsStore.h"
#include "settings/SettingReader.h"
#include "shell/MainWindowLayout.h"
#include "shell/ShellTexts.h"
#include "switching/ProfileTexts.h"

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
    : platform_(platform),
      profiles_(profiles),
      settings_(settings),
      tray_icon_(platform.tray),
      tray_presence_(tray_icon_, platform.timers) {}

MainWindow::~MainWindow() {
  if (form_ && !ending_) tray_icon_.RemoveIcon();
}

void MainWindow::Start(bool shown) {
  profiles_.script_run.RemoveLeftover();
  form_ = platform_.forms.Create(MainWindowLayout(), *this);
  notifier_.emplace(*form_, tray_icon_);
  EnableBalloonTips();
  form_->MakeTopmost();
  // The handle is read after the window was made topmost.
  tray_icon_.Fill(form_->Handle(), form_->IconHandle());
  tray_presence_.Add();
  // A window left hidden while its icon is not in the tray could not be
  // reached at all.
  if (shown || !tray_presence_.InTray()) form_->Show();
}

void MainWindow::SwitchWithoutBox(Profile profile) {
  if (!Active()) return;
  if (profile == Profile::School) {
    switching::EnterSchoolProfile(profiles_, Feedback::Balloon, *notifier_, settings_);
  } else {
    switching::EnterHomeProfile(profiles_, Feedback::Balloon, *notifier_);
  }
}

void MainWindow::Queue(Request request) {
  if (!Active()) return;
  if (request == Request::School || request == Request::Home) MarkUserSwitch();
  queue_.push_back(request);
}

void MainWindow::PerformWaiting() {
  while (CanPerformNext()) {
    const Request request = queue_.front();
    queue_.pop_front();
    const Busy busy(busy_);
    try {
      CarryOut(request);
    } catch (...) {
      TellFailure(request, platform::CurrentExceptionAsError());
    }
  }
}

void MainWindow::CarryOut(Request request) {
  switch (request) {
    case Request::Show:
      // As a tray notification does.
      form_->ShowAndActivate();
      break;
    case Request::School:
      SwitchToSchoolUnattended();
      break;
    case Request::Home:
      SwitchWithoutBox(Profile::Home);
      break;
    case Request::Exit:
      RemoveIconAndEnd();
      break;
  }
}

void MainWindow::SwitchToSchoolUnattended() {
  // A load the switch would cause reports what it cannot read in a box,
  // which may wait for nobody: the load is made here instead, and told
  // after the switch's own balloons.
  const std::optional<settings::ReadFailure> unread = settings_.LoadUnattended();
  SwitchWithoutBox(Profile::School);
  if (unread)
    notifier_->ShowWarningBalloon(std::wstring(switching::kSchoolTexts.balloon_title),
                                  settings::ReadFailureText(*unread), switching::kBalloonTimeoutMs);
}

void MainWindow::TellFailure(Request request, const platform::PlatformError& error) noexcept {
  std::wstring_view title = kApplicationTitle;
  if (request == Request::School) title = switching::kSchoolTexts.balloon_title;
  if (request == Request::Home) title = switching::kHomeTexts.balloon_title;
  try {
    notifier_->ShowWarningBalloon(std::wstring(title),
                                  ErrorReportText(error.Number(), error.Description()),
                                  switching::kBalloonTimeoutMs);
  } catch (...) {
    // Without the tray nothing is left to tell it by; the program goes on.
  }
}

void MainWindow::OnCommand(int id) {
  if (!Active()) return;
  {
    const Busy busy(busy_);
    Command(id);
  }
  // Requests that arrived while the command waited in a box. When it
  // failed, they wait for the next request or command.
  PerformWaiting();
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

void MainWindow::MarkUserSwitch() {
  // The one route by which a switch becomes the user's own: switching by
  // itself then leaves it be until the next connectivity change.
  if (user_switch_) user_switch_();
}

void MainWindow::Command(int id) {
  if (IsProfileSwitch(id)) MarkUserSwitch();
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
      HideToTray();
      break;
    case kCommand5:
      settings_.Show();
      break;
    case kMnuSchoolNetwork:
      SwitchWithoutBox(Profile::School);
      break;
    case kMnuHomeNetwork:
      SwitchWithoutBox(Profile::Home);
      break;
    case kMnuAbout:
      tray_icon_.ShowBalloon(std::wstring(kAboutTitle), AboutText(), kAboutTimeoutMs);
      break;
  }
}

void MainWindow::HideToTray() {
  if (tray_presence_.InTray()) form_->Hide();
}

void MainWindow::SwitchByItself(switching::ProfileChange change) {
  // As a request, though nobody's: one arriving while a button's box is
  // open waits for that button's switch to finish.
  if (!Active()) return;
  if (change == switching::ProfileChange::EnterSchool)
    queue_.push_back(Request::School);
  else if (change == switching::ProfileChange::EnterHome)
    queue_.push_back(Request::Home);
  PerformWaiting();
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
  if (Active()) tray_presence_.AddAgain();
}

void MainWindow::RemoveIconAndEnd() {
  ending_ = true;
  // First, before a log-off's handler returns, after which Windows may end
  // the process at any moment: the script holds a password. Closed for good,
  // so that a switch whose box was open meanwhile writes none after this.
  // The icon then goes, a call into Explorer, which may be ending too.
  profiles_.script_run.Close(switching::kEndingGrace);
  tray_presence_.Remove();
  platform_.application.End();
}

}  // namespace rerevure::shell
