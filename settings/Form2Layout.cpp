#include "settings/Form2Layout.h"

#include <array>

namespace rerevure::settings {
namespace {

using platform::ControlKind;
using platform::ControlLayout;

constexpr platform::FontSpec kLabelFont{L"Georgia", 975, 400, false};

// Every control sits in the captionless frame; positions are relative to it.
constexpr ControlLayout Control(int id, ControlKind kind, std::wstring_view caption, int left,
                                int top, int width, int height, int tab_index) {
  return platform::MakeControl(id, kind, form2::Frame1, caption, left, top, width, height,
                               tab_index);
}

constexpr ControlLayout Label(int index, std::wstring_view caption, int left, int top, int width,
                              int tab_index) {
  ControlLayout label =
      Control(form2::Label1(index), ControlKind::Label, caption, left, top, width, 255, tab_index);
  label.font = &kLabelFont;
  return label;
}

constexpr ControlLayout TextBox(int id, int top, int tab_index, bool masked = false,
                                std::wstring_view tooltip = {}) {
  ControlLayout box = Control(id, ControlKind::TextBox, L"", 1560, top, 3135, 285, tab_index);
  box.masked = masked;
  box.tooltip = tooltip;
  return box;
}

constexpr ControlLayout Button(int id, std::wstring_view caption, int left, int width,
                               int tab_index) {
  return Control(id, ControlKind::Button, caption, left, 3720, width, 375, tab_index);
}

constexpr ControlLayout Frame() {
  ControlLayout frame = Control(form2::Frame1, ControlKind::Frame, L"", 120, 0, 4935, 4215, 0);
  frame.container = platform::kClientArea;
  return frame;
}

// The label captions keep their runs of blanks, which line the texts up.
constexpr std::array<ControlLayout, 18> kControls{{
    Frame(),
    Label(0, L"User Area:", 480, 360, 1095, 1),
    TextBox(form2::Text1, 360, 2),
    Label(1, L"Student Share:", 120, 840, 1455, 3),
    TextBox(form2::Text2, 840, 4),
    Label(2, L"Staff   Share:", 360, 1320, 1215, 5),
    TextBox(form2::Text3, 1320, 6),
    Label(4, L"Extra  1:", 720, 1800, 855, 10),
    TextBox(form2::Text4, 1800, 12, false, kExtraDriveTooltip),
    // Wider than its neighbours: its right part lies under Text5, which hides it.
    Label(5, L"Extra  2:", 720, 2280, 1095, 11),
    TextBox(form2::Text5, 2280, 13, false, kExtraDriveTooltip),
    Label(6, L"User  Name:", 360, 2760, 1215, 15),
    TextBox(form2::Text6, 2760, 17),
    Label(7, L" Password:", 480, 3240, 1095, 16),
    TextBox(form2::Text7, 3240, 18, true),
    Button(form2::Command3, L"&Help", 120, 855, 14),
    Button(form2::Command1, L"&Save Settings", 1320, 2175, 7),
    Button(form2::Command2, L"&Close", 3840, 975, 8),
}};

constexpr platform::FormLayout MakeForm2() {
  platform::FormLayout form;
  form.caption = kForm2Caption;
  form.border = platform::Border::Sizable;
  form.control_box = true;  // the title-bar close unloads the window
  form.client_width = 5190;
  form.client_height = 4290;
  form.application_icon = false;  // explicitly empty
  form.controls = kControls;
  return form;
}

constexpr platform::FormLayout kForm2 = MakeForm2();

}  // namespace

const platform::FormLayout& Form2Layout() { return kForm2; }

}  // namespace rerevure::settings
