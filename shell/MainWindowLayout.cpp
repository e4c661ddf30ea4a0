#include "shell/MainWindowLayout.h"

#include <array>

namespace rerevure::shell {
namespace {

using platform::ControlKind;
using platform::ControlLayout;
using platform::FontSpec;
using platform::kClientArea;

constexpr FontSpec kFrameCaptionFont{L"Arial", 825, 700, true};

constexpr ControlLayout Control(int id, ControlKind kind, int container, std::wstring_view caption,
                                int left, int top, int width, int height, int tab_index,
                                const FontSpec* font = nullptr) {
  ControlLayout control;
  control.id = id;
  control.kind = kind;
  control.container = container;
  control.caption = caption;
  control.left = left;
  control.top = top;
  control.width = width;
  control.height = height;
  control.tab_index = tab_index;
  control.font = font;
  return control;
}

// Front to back. Command1 and Command2 belong to the window yet lie over the
// frame: they are stacked in front of it so that they are drawn over it and
// take the clicks where they lie. The frame never takes the focus; its
// TabIndex only keeps the numbering. The buttons use the default font.
constexpr std::array<ControlLayout, 6> kControls{{
    Control(kCommand2, ControlKind::Button, kClientArea, L"School Proxy &OFF", 1080, 960, 2175, 375,
            1),
    Control(kCommand1, ControlKind::Button, kClientArea, L"School Proxy &ON", 1080, 480, 2175, 375,
            0),
    Control(kFrame1, ControlKind::Frame, kClientArea, L"Proxy Switcher Created By ZUV Orarevirado",
            120, 120, 4095, 1815, 2, &kFrameCaptionFont),
    Control(kCommand5, ControlKind::Button, kFrame1, L"Shared Drives", 1320, 1320, 1455, 375, 6),
    Control(kCommand4, ControlKind::Button, kFrame1, L"&Minimize", 120, 1320, 975, 375, 5),
    Control(kCommand3, ControlKind::Button, kFrame1, L"&Exit", 3000, 1320, 975, 375, 3),
}};

constexpr platform::FormLayout MakeLayout() {
  platform::FormLayout layout;
  layout.caption = L"Viriru Proxy Switcher v1.6";
  layout.border = platform::Border::FixedSingle;
  layout.control_box = false;  // no system menu, no close, minimize or maximize button
  layout.client_width = 4320;
  layout.client_height = 2055;
  layout.application_icon = true;
  layout.controls = kControls;
  return layout;
}

constexpr platform::FormLayout kLayout = MakeLayout();

constexpr std::array<platform::MenuItemLayout, 4> kMenu{{
    {kMnuSchoolNetwork, L"School Network"},
    {kMnuHomeNetwork, L"Home Network"},
    {kMnuAbout, L"About"},
    {kMnuExit, L"Exit"},
}};

}  // namespace

const platform::FormLayout& MainWindowLayout() { return kLayout; }

std::span<const platform::MenuItemLayout> MainMenuItems() { return kMenu; }

}  // namespace rerevure::shell
