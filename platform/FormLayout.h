#pragma once

#include <span>
#include <string_view>

namespace rerevure::platform {

// A window described as data: every position and size in twips (1/1440 inch),
// turned into pixels at the screen's real DPI by the one piece of layout code
// that builds windows from these tables.

enum class ControlKind { Frame, Label, TextBox, Button };

struct FontSpec {
  std::wstring_view face;
  int centipoints = 0;  // 975 for 9.75 pt
  int weight = 400;
  bool italic = false;
  friend constexpr bool operator==(const FontSpec&, const FontSpec&) = default;
};

inline constexpr int kClientArea = 0;  // container id of the window's client area

struct ControlLayout {
  int id = 0;  // control id and the id its clicks are reported with (never 1 or 2,
               // which the dialog manager sends for Enter and Esc)
  ControlKind kind = ControlKind::Label;
  int container = kClientArea;  // or the id of a Frame
  std::wstring_view caption;
  int left = 0, top = 0, width = 0, height = 0;  // twips, relative to the container
  int tab_index = 0;
  const FontSpec* font = nullptr;  // null: the default GUI font
  bool masked = false;             // shows '*' per character; input method off
  std::wstring_view tooltip;       // empty: none
};

// One row of a layout table: the fields every control has, the rest left at
// their defaults for the caller to set.
constexpr ControlLayout MakeControl(int id, ControlKind kind, int container,
                                    std::wstring_view caption, int left, int top, int width,
                                    int height, int tab_index, const FontSpec* font = nullptr) {
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

enum class Border { Sizable, FixedSingle };

struct FormLayout {
  std::wstring_view caption;
  Border border = Border::Sizable;
  bool control_box = true;  // system menu with close (and minimize/maximize where sizable)
  int client_width = 0, client_height = 0;  // twips
  bool application_icon = false;            // false: the window's icon is explicitly empty
  std::span<const ControlLayout> controls;  // any order; see StackingOrder()
};

struct MenuItemLayout {
  int id = 0;
  std::wstring_view caption;
};

}  // namespace rerevure::platform
