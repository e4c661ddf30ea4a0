#include "shell/MainWindowLayout.h"

#include <array>

namespace rerevure::shell {
namespace {

using platform::ControlKind;
using platform::ControlLayout;
using platform::FontSpec;
using platform::kClientArea;

constexpr FontSpec kFrameCaptionFont{L"Arial", 825, 700, true};

using platform::MakeControl;

// Front to back. Command1 and Command2 belong to the window yet lie over the
// frame: they are stacked in front of it so that they are drawn over it and
// take the clicks where they lie. The frame never takes the focus; its
// TabIndex only keeps the numbering. The buttons use the default font.
constexpr std::array<ControlLayout, 6> kControls{{
    MakeControl(kCommand2, ControlKind::Button, kClientArea, L"School Proxy &OFF", 1080, 960, 2175,
                375, 1),
    MakeControl(kCommand1, ControlKind::Button, kClientArea, L"School Proxy &ON", 1080, 480, 2175,
                375, 0),
    MakeControl(kFrame1, ControlKind::Frame, kClientArea,
                L"Proxy Switcher Created By ZUV Orarevirado", 120, 120, 4095, 1815, 2,
                &kFrameCaptionFont),
    MakeControl(kCommand5, ControlKind::Button, kFrame1, L"Shared Drives", 1320, 1320, 1455, 375,
                6),
    MakeControl(kCommand4, ControlKind::Button, kFrame1, L"&Minimize", 120, 1320, 975, 375, 5),
    MakeControl(kCommand3, ControlKind::Button, kFrame1, L"&Exit", 3000, 1320, 975, 375, 3),
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
