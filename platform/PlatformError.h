#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace rerevure::platform {

// A platform call that failed, carrying what the program's error report shows
// the user: the error number (an HRESULT or Win32 code, as a signed 32-bit
// value) and the platform's description of it.
class PlatformError : public std::runtime_error {
 public:
  PlatformError(std::int32_t number, std::wstring description)
      : std::runtime_error(Narrow(description)), number_(number),
        description_(std::move(description)) {}

  std::int32_t Number() const noexcept { return number_; }
  const std::wstring& Description() const noexcept { return description_; }

 private:
  // what() is only for diagnostics; the user sees Description().
  static std::string Narrow(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
  }

  std::int32_t number_;
  std::wstring description_;
};

}  // namespace rerevure::platform
