#pragma once

namespace rerevure::switching {

// How a profile switch tells the user: the main window's buttons answer with
// a message box, the tray menu with a balloon.
enum class Feedback { MessageBox, Balloon };

}  // namespace rerevure::switching
