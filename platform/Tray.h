#pragma once

#include <cstdint>

#include "platform/NotifyIconRecord.h"

namespace rerevure::platform {

// The shell's notification area, Shell_NotifyIconA: every call passes the
// whole record, converted to the platform's ANSI form for that call.
class Tray {
 public:
  virtual ~Tray() = default;
  // message is kNimAdd, kNimModify or kNimDelete. True when the shell took
  // the call: an add can fail or time out while Explorer is busy (at logon),
  // and a timed-out add may still arrive later.
  virtual bool Notify(std::uint32_t message, const NotifyIconRecord& record) = 0;
};

}  // namespace rerevure::platform
