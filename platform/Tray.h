#pragma once

#include <cstdint>

#include "platform/NotifyIconRecord.h"

namespace rerevure::platform {

// The shell's notification area, Shell_NotifyIconA: every call passes the
// whole record, converted to the platform's ANSI form for that call.
class Tray {
 public:
  virtual ~Tray() = default;
  // message is kNimAdd, kNimModify or kNimDelete. The program makes no use of
  // the result, so none is returned.
  virtual void Notify(std::uint32_t message, const NotifyIconRecord& record) = 0;
};

}  // namespace rerevure::platform
