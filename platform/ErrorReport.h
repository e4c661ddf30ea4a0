#pragma once

#include <cstdint>
#include <exception>
#include <new>
#include <string>

#include "platform/PlatformError.h"

namespace rerevure::platform {

// The program's top-level error report: tells the user that a handler failed,
// with the error number and its description. Closing it does not end the
// program; only the failed handler stops.
class ErrorReport {
 public:
  virtual ~ErrorReport() = default;
  virtual void Report(std::int32_t number, const std::wstring& description) noexcept = 0;
};

// Error numbers for failures that do not come from the platform.
inline constexpr std::int32_t kErrorOutOfMemory = 7;
inline constexpr std::int32_t kErrorInternal = 51;

// The exception being handled, as the number and description the report
// shows. Call it only inside a catch block.
inline PlatformError CurrentExceptionAsError() {
  try {
    throw;
  } catch (const PlatformError& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return PlatformError(kErrorOutOfMemory, L"Out of memory");
  } catch (const std::exception& e) {
    std::wstring text;
    for (const char* p = e.what(); *p; ++p) text.push_back(static_cast<unsigned char>(*p));
    return PlatformError(kErrorInternal, text);
  } catch (...) {
    return PlatformError(kErrorInternal, L"Internal error");
  }
}

// Runs one event handler; whatever it throws goes to the report and stops
// there, so no exception ever crosses a window procedure.
template <class Handler>
void RunReportingErrors(ErrorReport& report, Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
    const PlatformError error = CurrentExceptionAsError();
    report.Report(error.Number(), error.Description());
  }
}

}  // namespace rerevure::platform
