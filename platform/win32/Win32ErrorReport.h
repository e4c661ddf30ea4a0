#pragma once

#include <functional>
#include <string>

#include "platform/ErrorReport.h"

namespace rerevure::platform {

// The top-level error report as a message box with the error icon. The text
// is composed by the caller's rule; closing the box returns to the caller, so
// the program keeps running.
class Win32ErrorReport final : public ErrorReport {
 public:
  using Composer =
      std::function<std::wstring(std::int32_t number, const std::wstring& description)>;
  Win32ErrorReport(std::wstring title, Composer compose)
      : title_(std::move(title)), compose_(std::move(compose)) {}
  void Report(std::int32_t number, const std::wstring& description) noexcept override;

 private:
  std::wstring title_;
  Composer compose_;
};

}  // namespace rerevure::platform
