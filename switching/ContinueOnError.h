#pragma once

#include <exception>
#include <optional>

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
  } catch (const std::exception&) {
    return platform::CurrentExceptionAsError();
  }
}

}  // namespace rerevure::switching
