#include "settings/SettingsWindow.h"

#include <optional>
#include <string>
#include <utility>

#include "settings/Form2Layout.h"
#include "settings/SettingsTexts.h"

namespace rerevure::settings {

SettingsWindow::SettingsWindow(platform::FormFactory& forms,
                               platform::AutomationShellFactory& shells,
                               platform::PolicyValues& policies, platform::ErrorReport& errors)
    : forms_(forms), errors_(errors), store_(shells, policies) {}

SettingsWindow::~SettingsWindow() = default;

bool SettingsWindow::IsLoaded() const { return form_ && form_->IsLoaded(); }

bool SettingsWindow::IsVisible() const { return IsLoaded() && form_->IsVisible(); }

platform::Form* SettingsWindow::Window() const { return IsLoaded() ? form_.get() : nullptr; }

void SettingsWindow::Show() {
  EnsureLoaded();
  form_->Show();
}

std::optional<ReadFailure> SettingsWindow::LoadUnattended() {
  if (IsLoaded()) return std::nullopt;
  // A window the user closed through its title bar is released here, outside
  // its own handlers, and made again.
  form_.reset();
  return Load();
}

void SettingsWindow::EnsureLoaded() {
  // Missing values are the normal state before the first save; anything
  // else is told, after the whole load, so that nobody saves the empty
  // fields over values that could not be read.
  if (const std::optional<ReadFailure> failure = LoadUnattended())
    errors_.Report(failure->error.Number(), failure->error.Description());
}

std::optional<ReadFailure> SettingsWindow::Load() {
  form_ = forms_.Create(Form2Layout(), *this);
  form_->MakeTopmost();
  DriveSettingsStore::LoadResult loaded = store_.Load();
  by_policy_ = loaded.by_policy;
  for (size_t i = 0; i < kDriveValues.size(); ++i) {
    form_->SetText(kFieldIds[i], loaded.settings.*kDriveValues[i].setting);
    if (by_policy_[i]) form_->SetReadOnly(kFieldIds[i]);
  }
  // The window is loaded whatever the registry said.
  return std::move(loaded.failure);
}

switching::DriveSettings SettingsWindow::Fields() const {
  switching::DriveSettings settings;
  for (size_t i = 0; i < kDriveValues.size(); ++i) {
    settings.*kDriveValues[i].setting = form_->Text(kFieldIds[i]);
  }
  return settings;
}

void SettingsWindow::Save() {
  try {
    store_.Save(Fields(), by_policy_);
  } catch (const platform::PlatformError& error) {
    // The window stays as it is, every field as typed, so the user can try
    // again; nothing claims the settings were saved.
    errors_.Report(error.Number(), error.Description());
    return;
  }
  form_->ShowMessage(std::wstring(kSavedMessage), std::wstring(kApplicationTitle),
                     platform::kMbOk | platform::kMbIconInformation);
}

void SettingsWindow::ShowHelp() {
  form_->ShowMessage(std::wstring(kHelpText), std::wstring(kHelpTitle),
                     platform::kMbOk | platform::kMbIconInformation);
}

void SettingsWindow::OnCommand(int id) {
  if (!IsLoaded()) return;
  switch (id) {
    case form2::Command1:
      Save();
      break;
    case form2::Command2:
      form_->Hide();
      break;
    case form2::Command3:
      ShowHelp();
      break;
    default:
      break;
  }
}

void SettingsWindow::OnClose() {
  // Nothing to do: the platform destroys the window and its fields with it.
  // The object stays until the next use replaces it.
}

std::wstring SettingsWindow::Field(int id) {
  EnsureLoaded();
  return form_->Text(id);
}

std::wstring SettingsWindow::UserArea() { return Field(form2::Text1); }
std::wstring SettingsWindow::SchoolShare() { return Field(form2::Text2); }
std::wstring SettingsWindow::StaffShare() { return Field(form2::Text3); }
std::wstring SettingsWindow::Extra1() { return Field(form2::Text4); }
std::wstring SettingsWindow::Extra2() { return Field(form2::Text5); }
std::wstring SettingsWindow::Username() { return Field(form2::Text6); }
std::wstring SettingsWindow::Password() { return Field(form2::Text7); }

}  // namespace rerevure::settings
