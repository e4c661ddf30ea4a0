#include "platform/Win32InternetOptions.h"

#include "platform/Win32PerConnectionOptionList.h"

namespace rerevure::platform {

bool Win32InternetOptions::SetPerConnectionOptions(const PerConnectionOptionList& list) {
  NativePerConnectionOptionList native(list);
  return set_option_(nullptr, kOptionPerConnectionOption, native.Get(),
                     NativePerConnectionOptionList::Size()) != FALSE;
}

void Win32InternetOptions::Notify(std::uint32_t option) {
  set_option_(nullptr, option, nullptr, 0);
}

}  // namespace rerevure::platform
