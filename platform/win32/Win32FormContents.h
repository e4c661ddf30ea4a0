#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

#include "platform/ErrorReport.h"
#include "platform/Form.h"
#include "platform/FormLayout.h"
#include "platform/win32/Win32Owners.h"

namespace rerevure::platform {

class Win32Frame;

// What a form's window is built of from its layout: its controls (frames
// among them) stacked in tab order at their pixel rectangles, the fonts they
// use, the tooltip that shows their tips, and the window's icons. Owns the
// fonts, icons, frames and tooltip; the controls go with the form's window.
class Win32FormContents {
 public:
  struct Control {
    int id;
    ControlKind kind;
    HWND hwnd;
  };

  Win32FormContents(FormEvents& events, ErrorReport& errors, int dpi);
  ~Win32FormContents();
  Win32FormContents(const Win32FormContents&) = delete;
  Win32FormContents& operator=(const Win32FormContents&) = delete;

  // Builds everything into the form's window. Throws PlatformError, and
  // std::invalid_argument for a control id the dialog manager reserves.
  void Build(const FormLayout& layout, HWND form);
  // The form's window is being destroyed: the tooltip, which it does not
  // own (see AddTooltip), goes with it.
  void DestroyTooltip() noexcept;
  // The form's window is gone, and its controls with it.
  void ForgetControls() noexcept;

  // Null when no control has the id, or the hwnd.
  HWND ControlHandle(int control_id) const noexcept;
  const Control* Find(HWND hwnd) const noexcept;
  // The small icon where there is one, else the big one; null for none.
  HICON Icon() const noexcept;
  int Dpi() const noexcept { return dpi_; }

 private:
  struct FontForSpec {
    FontSpec wanted;
    OwnedFont font;
  };

  void CreateControls(const FormLayout& layout, int container, HWND parent);
  HWND CreateControl(const ControlLayout& control, HWND parent);
  HFONT FontFor(const FontSpec* wanted);
  void AddTooltip(HWND control, std::wstring_view text);
  void LoadIcons(bool application_icon);

  FormEvents& events_;
  ErrorReport& errors_;
  const int dpi_;
  HWND form_ = nullptr;
  std::vector<FontForSpec> fonts_;
  OwnedIcon small_icon_;
  OwnedIcon big_icon_;
  std::vector<std::unique_ptr<Win32Frame>> frames_;
  std::vector<Control> controls_;
  OwnedWindow tooltip_;
};

}  // namespace rerevure::platform
