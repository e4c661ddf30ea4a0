#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "WindowQueries.h"

// Helpers for driving real windows of the test's own thread from outside the
// windows' own code: the message loop, keyboard input and a watcher for
// message boxes.
namespace rerevure::testing::win32 {

// Pumps the thread's messages as the program's loop does, for a while or
// until the condition holds.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::seconds(5));
void PumpFor(std::chrono::milliseconds time);

// A key press (down and up) as keyboard input to the focused window, with
// Alt and Shift held if asked; the messages are pumped afterwards.
void PressKey(UINT key, bool alt = false, bool shift = false);

// Closes the message boxes of this process as they appear, from a thread of
// its own (a modal box blocks the thread that opened it), recording each
// box's title and text and pressing its first button.
class MessageBoxCloser {
 public:
  struct Box {
    std::wstring title, text;
    bool operator==(const Box&) const = default;
  };
  MessageBoxCloser();
  ~MessageBoxCloser();
  std::vector<Box> Boxes() const;
  size_t Count() const;

 private:
  void Watch();
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Box> boxes_;
  std::thread thread_;
};

}  // namespace rerevure::testing::win32
