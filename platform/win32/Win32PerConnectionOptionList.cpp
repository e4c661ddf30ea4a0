#include "platform/win32/Win32PerConnectionOptionList.h"

#include <variant>

namespace rerevure::platform {
namespace {

// The buffer as given, with a NUL added should the caller have left it out:
// the library reads up to the first NUL and must never run past the end.
std::vector<char> Terminated(const std::string& bytes) {
  std::vector<char> buffer(bytes.begin(), bytes.end());
  if (buffer.empty() || buffer.back() != '\0') buffer.push_back('\0');
  return buffer;
}

}  // namespace

NativePerConnectionOptionList::NativePerConnectionOptionList(const PerConnectionOptionList& list)
    : connection_(Terminated(list.connection)) {
  // Every text buffer is made before any record points into one.
  for (const auto& option : list.options) {
    if (const auto* text = std::get_if<std::string>(&option.value))
      texts_.push_back(Terminated(*text));
  }

  // Zero-initialised, so the part of each value slot that a number or a
  // pointer does not fill stays 0.
  options_.resize(list.options.size(), INTERNET_PER_CONN_OPTIONA{});
  auto text = texts_.begin();
  for (std::size_t i = 0; i < list.options.size(); ++i) {
    options_[i].dwOption = list.options[i].option;
    if (const auto* number = std::get_if<std::uint32_t>(&list.options[i].value))
      options_[i].Value.dwValue = *number;
    else
      options_[i].Value.pszValue = (text++)->data();
  }

  list_.dwSize = Size();
  list_.pszConnection = connection_.data();
  list_.dwOptionCount = static_cast<DWORD>(options_.size());
  list_.dwOptionError = 0;
  list_.pOptions = options_.empty() ? nullptr : options_.data();
}

}  // namespace rerevure::platform
