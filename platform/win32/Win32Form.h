#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/ErrorReport.h"
#include "platform/Form.h"
#include "platform/FormLayout.h"
#include "platform/win32/Win32FormContents.h"
#include "platform/win32/Win32Window.h"

namespace rerevure::platform {

// A top-level window built from a FormLayout (its contents: Win32FormContents)
// and run: its messages, focus, showing and hiding, message boxes and pop-up
// menu, with the keyboard behaviour of a dialog when the message loop routes
// its messages through the dialog manager (Win32MessageLoop). Created
// hidden; its controls and fonts live as long as the window.
class Win32Form final : public Form, private Win32Window {
 public:
  Win32Form(const FormLayout& layout, FormEvents& events, ErrorReport& errors, int dpi);
  ~Win32Form() override;

  bool IsLoaded() const override;
  void Show() override;
  void ShowAndActivate() override;
  void Hide() override;
  bool IsVisible() const override;
  void MakeTopmost() override;
  std::wstring Text(int control_id) const override;
  void SetText(int control_id, const std::wstring& text) override;
  void SetReadOnly(int control_id) override;
  int ShowMessage(const std::wstring& text, const std::wstring& title,
                  std::uint32_t flags) override;
  void PopupMenu(std::span<const MenuItemLayout> items) override;
  std::uintptr_t Handle() const override;
  std::uintptr_t IconHandle() const override;

  // The window of a control (0: the form itself); null when unknown or unloaded.
  HWND ControlHandle(int control_id) const noexcept;
  // The DPI the layout was converted at.
  int Dpi() const noexcept { return contents_.Dpi(); }

  // True when hwnd is the top-level window of a form, which the message loop
  // then hands to the dialog manager.
  static bool IsFormWindow(HWND hwnd) noexcept;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
  void OnCommandMessage(WPARAM wparam, LPARAM lparam);
  void CloseByPlatform();
  void SaveFocus() noexcept;
  void RestoreFocus() noexcept;
  void CentreOnScreen() noexcept;

  HWND RequireControl(int control_id) const;

  FormEvents& events_;
  Win32FormContents contents_;
  const UINT taskbar_created_;
  HWND saved_focus_ = nullptr;
  bool shown_before_ = false;
  bool releasing_ = false;  // in the destructor: no more events
};

// Builds forms at the screen's real DPI. Every failure inside a form's
// handlers goes to the error report given here.
class Win32FormFactory final : public FormFactory {
 public:
  explicit Win32FormFactory(ErrorReport& errors) : errors_(errors) {}
  std::unique_ptr<Form> Create(const FormLayout& layout, FormEvents& events) override;

  // The logical DPI of the screen (LOGPIXELSY of the screen's device context).
  static int ScreenDpi();

 private:
  ErrorReport& errors_;
};

}  // namespace rerevure::platform
