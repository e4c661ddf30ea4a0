#pragma once

#include <cstdint>
#include <string>

#include "platform/MessageBoxes.h"

namespace rerevure::platform {

// The program shows message boxes three ways, each needed:
// - Win32MessageBoxes::Show: what a start has to say before any window of
//   the program exists (a refused command line);
// - Win32ErrorReport::Report: a handler's failure, at any time, task-modal
//   so that no other window of the program takes input while it is open;
// - Win32Form::ShowMessage: a window's own boxes, owned by the window, which
//   stays disabled while the box is open so that its buttons cannot start a
//   second switch meanwhile.
// The first two have no window behind them and share this function: such a
// box must come forward by itself, and stay above the topmost main window.
// Its result is of no use to them (only OK, or a box that could not be
// shown, which nothing could then report).
void ShowUnownedMessageBox(const std::wstring& text, const std::wstring& title,
                           std::uint32_t flags) noexcept;

class Win32MessageBoxes final : public MessageBoxes {
 public:
  void Show(const std::wstring& text, const std::wstring& title, std::uint32_t flags) override;
};

}  // namespace rerevure::platform
