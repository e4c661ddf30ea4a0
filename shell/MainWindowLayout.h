#pragma once

#include <span>

#include "platform/FormLayout.h"

namespace rerevure::shell {

// Control ids of the main window `Form1`.
inline constexpr int kCommand1 = 101;  // "School Proxy &ON"
inline constexpr int kCommand2 = 102;  // "School Proxy &OFF"
inline constexpr int kCommand3 = 103;  // "&Exit"
inline constexpr int kCommand4 = 104;  // "&Minimize"
inline constexpr int kCommand5 = 105;  // "Shared Drives"
inline constexpr int kFrame1 = 110;

// Item ids of the pop-up menu `mnuMain`.
inline constexpr int kMnuSchoolNetwork = 201;
inline constexpr int kMnuHomeNetwork = 202;
inline constexpr int kMnuAbout = 203;
inline constexpr int kMnuExit = 204;

// The window's flags, client area and controls, front to back in the
// stacking order.
const platform::FormLayout& MainWindowLayout();

// The items of `mnuMain`, in order. The menu itself ("Menu") is invisible:
// the window has no menu bar and shows these only as a pop-up.
std::span<const platform::MenuItemLayout> MainMenuItems();

}  // namespace rerevure::shell
