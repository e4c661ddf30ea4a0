#pragma once

#include <exception>
#include <new>
#include <optional>
#include <string>

#include "platform/ErrorReport.h"
#include "platform/PlatformError.h"

namespace rerevure::switching {

// The school switch's error regime: a step that fails is skipped and the next
// one runs. The failure is handed back (as the number and description the
// error report would show) for the few steps whose failure the user must hear
// about; every other caller ignores it.
template <class Step>
std::optional<platform::PlatformError> ContinueOnError(Step&& step) {
  try {
    step();
    return std::nullopt;
  } catch (const platform::PlatformError& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return platform::PlatformError(platform::kErrorOutOfMemory, L"Out of memory");
  } catch (const std::exception& e) {
    std::wstring text;
    for (const char* p = e.what(); *p; ++p) text.push_back(static_cast<unsigned char>(*p));
    return platform::PlatformError(platform::kErrorInternal, text);
  }
}

}  // namespace rerevure::switching
