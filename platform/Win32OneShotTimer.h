#pragma once

#include <functional>
#include <memory>

#include "platform/ErrorReport.h"
#include "platform/OneShotTimer.h"
#include "platform/Win32MessageWindow.h"

namespace rerevure::platform {

// SetTimer on a message-only window of its own, made at the first start.
class Win32OneShotTimer final : public OneShotTimer {
 public:
  explicit Win32OneShotTimer(ErrorReport& errors) : errors_(errors) {}

  void Start(std::chrono::milliseconds delay, std::function<void()> due) override;
  void Stop() override;

 private:
  void Fire();

  ErrorReport& errors_;
  std::function<void()> due_;
  // Destroyed first: its timer goes with it.
  std::unique_ptr<Win32MessageWindow> window_;
};

}  // namespace rerevure::platform
