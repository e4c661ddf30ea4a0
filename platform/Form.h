#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/FormLayout.h"

namespace rerevure::platform {

// What a window reports to the logic that owns it. Every call arrives on the
// user-interface thread; an exception thrown from one goes to the program's
// error report and the program keeps running.
class FormEvents {
 public:
  virtual ~FormEvents() = default;
  // A button was pressed (click, access key, Enter on the focused button) or
  // a pop-up menu item chosen.
  virtual void OnCommand(int /*id*/) {}
  // A double-click on a frame's free area.
  virtual void OnDoubleClick(int /*control_id*/) {}
  // A mouse move over the window's client area, or a tray notification
  // (delivered as a mouse move). 1 left, 2 right, 4 middle button, combined.
  virtual void OnMouseMove(int /*button_state*/) {}
  // The window itself (not one of its controls) lost the keyboard focus.
  virtual void OnFocusLost() {}
  // The platform closes the window (title-bar close, Alt+F4, log-off). The
  // window is destroyed after this returns; the Form object stays valid, with
  // IsLoaded() false, until its owner releases it (never from inside a call).
  virtual void OnClose() {}
  // The taskbar was (re)created: Explorer restarted.
  virtual void OnTaskbarCreated() {}
};

// A top-level window built from a FormLayout.
class Form {
 public:
  virtual ~Form() = default;
  virtual bool IsLoaded() const = 0;
  // Shows the window without an owner and not modal. The first time it is
  // centred on the screen and the first control in tab order has the focus;
  // later the control that had the focus keeps it.
  virtual void Show() = 0;
  virtual void ShowAndActivate() = 0;
  virtual void Hide() = 0;
  virtual bool IsVisible() const = 0;
  // SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE):
  // into the topmost band without taking the activation from another window.
  virtual void MakeTopmost() = 0;
  virtual std::wstring Text(int control_id) const = 0;
  virtual void SetText(int control_id, const std::wstring& text) = 0;
  // Makes a text box read-only: its text can be selected and copied but not
  // changed by the user. Its place and size stay as laid out.
  virtual void SetReadOnly(int control_id) = 0;
  // A modal message box owned by this window; returns the button pressed.
  virtual int ShowMessage(const std::wstring& text, const std::wstring& title,
                          std::uint32_t flags) = 0;
  // Pops up a menu at the pointer; the chosen item arrives as OnCommand.
  virtual void PopupMenu(std::span<const MenuItemLayout> items) = 0;
  // The platform's window and icon handles, passed through unchanged.
  virtual std::uintptr_t Handle() const = 0;
  virtual std::uintptr_t IconHandle() const = 0;
};

class FormFactory {
 public:
  virtual ~FormFactory() = default;
  // Creates (loads) the window hidden, with all its controls.
  virtual std::unique_ptr<Form> Create(const FormLayout& layout, FormEvents& events) = 0;
};

// Message box flags the program uses (the platform's values).
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbOkCancel = 0x1;
inline constexpr std::uint32_t kMbIconWarning = 0x30;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kMbIconError = 0x10;

}  // namespace rerevure::platform
