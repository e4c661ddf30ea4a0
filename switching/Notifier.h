#pragma once

#include <cstdint>
#include <string>

namespace rerevure::switching {

// The ways a profile switch can tell the user, supplied by its caller.
class Notifier {
 public:
  virtual ~Notifier() = default;
  // Modal box with OK and Cancel, no icon, the application title; returns
  // when closed, whichever button was pressed.
  virtual void ShowMessage(const std::wstring& text) = 0;
  // Tray balloon with the information icon; returns at once.
  virtual void ShowBalloon(const std::wstring& title, const std::wstring& text,
                           std::uint32_t timeout_ms) = 0;
  // The same two, for something that went wrong: a modal box with OK and the
  // warning icon, or a balloon with the warning icon.
  virtual void ShowWarningMessage(const std::wstring& text) = 0;
  virtual void ShowWarningBalloon(const std::wstring& title, const std::wstring& text,
                                  std::uint32_t timeout_ms) = 0;
};

}  // namespace rerevure::switching
