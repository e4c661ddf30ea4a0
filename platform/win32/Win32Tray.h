#pragma once

#include "platform/TextCodec.h"
#include "platform/Tray.h"

namespace rerevure::platform {

// Shell_NotifyIconA with the record laid out as the shell's version 2 ANSI
// record (the one with balloon fields): 488 bytes in the i686 program.
class Win32Tray final : public Tray {
 public:
  explicit Win32Tray(const TextCodec& codec) : codec_(codec) {}
  bool Notify(std::uint32_t message, const NotifyIconRecord& record) override;

 private:
  const TextCodec& codec_;
};

}  // namespace rerevure::platform
