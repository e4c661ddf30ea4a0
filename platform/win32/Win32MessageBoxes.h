#pragma once

#include "platform/MessageBoxes.h"

namespace rerevure::platform {

// One of the program's two ways of showing a message box, and both are
// needed: this one says what a start has to say before any window of the
// program exists (a refused command line), so no window owns the box and it
// must come forward by itself; a window's own boxes go through its
// Form::ShowMessage, owned by the window, which stays disabled while the box
// is open so that its buttons cannot start a second switch meanwhile.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::wstring& text, const std::wstring& title, std::uint32_t flags) override;
};

}  // namespace rerevure::platform
