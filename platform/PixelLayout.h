#pragma once

#include <span>
#include <vector>

#include "platform/FormLayout.h"

namespace rerevure::platform {

// The one place where a window's twips become pixels. Windows are laid out
// in twips so that they keep their proportions at any screen DPI.

inline constexpr int kTwipsPerInch = 1440;

// twips * dpi / 1440, rounded half away from zero like the platform's MulDiv,
// so that 15 twips make exactly one pixel at 96 DPI.
int TwipsToPixels(int twips, int dpi);

// A rectangle in pixels: its top-left corner relative to the control's
// container (the client area, or the outer rectangle of its frame).
struct PixelRect {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Each edge and size converted separately, so controls of equal size in
// twips stay equal in pixels.
PixelRect ControlRect(const ControlLayout& control, int dpi);

// The controls of one container, front to back: first the focusable controls
// and the frames in ascending TabIndex, then the labels (ascending TabIndex
// too). Creating them in this order and stacking them so puts every label
// beneath the text boxes it overlaps, and makes the dialog manager's Tab
// order, which follows the stacking order, the TabIndex order. Equal
// TabIndex values keep the table's order.
std::vector<const ControlLayout*> StackingOrder(std::span<const ControlLayout> controls,
                                                int container);

}  // namespace rerevure::platform
