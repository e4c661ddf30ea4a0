#include "platform/PixelLayout.h"

#include <algorithm>
#include <cstdint>

namespace rerevure::platform {

int TwipsToPixels(int twips, int dpi) {
  const std::int64_t product = static_cast<std::int64_t>(twips) * dpi;
  const std::int64_t half = kTwipsPerInch / 2;
  const std::int64_t rounded =
      product >= 0 ? (product + half) / kTwipsPerInch : -((-product + half) / kTwipsPerInch);
  return static_cast<int>(rounded);
}

PixelRect ControlRect(const ControlLayout& control, int dpi) {
  return PixelRect{TwipsToPixels(control.left, dpi), TwipsToPixels(control.top, dpi),
                   TwipsToPixels(control.width, dpi), TwipsToPixels(control.height, dpi)};
}

std::vector<const ControlLayout*> StackingOrder(std::span<const ControlLayout> controls,
                                                int container) {
  std::vector<const ControlLayout*> order;
  for (const ControlLayout& control : controls) {
    if (control.container == container) order.push_back(&control);
  }
  // Labels go behind everything else; inside each group, TabIndex decides.
  std::stable_sort(order.begin(), order.end(), [](const ControlLayout* a, const ControlLayout* b) {
    const bool a_label = a->kind == ControlKind::Label;
    const bool b_label = b->kind == ControlKind::Label;
    if (a_label != b_label) return b_label;
    return a->tab_index < b->tab_index;
  });
  return order;
}

}  // namespace rerevure::platform
