#include "platform/NotifyIconRecord.h"

#include <algorithm>

#include "platform/TextCodec.h"

namespace rerevure::platform {

std::wstring FixedTextField(std::wstring_view text, std::size_t length) {
  if (length == 0) return {};
  std::wstring field(text.substr(0, std::min(text.size(), length - 1)));
  field.push_back(L'\0');
  field.resize(length, L' ');
  return field;
}

std::wstring_view FieldText(std::wstring_view field) {
  return field.substr(0, std::min(field.find(L'\0'), field.size()));
}

void ToAnsiField(const TextCodec& codec, std::wstring_view field, std::span<char> out) {
  if (out.empty()) return;
  const std::wstring_view text = FieldText(field);
  std::string bytes = codec.ToAnsi(text);
  // A code page with double-byte characters can make the text longer than
  // the field; the terminator must stay inside it, and no character is split.
  for (std::size_t keep = text.size(); bytes.size() > out.size() - 1 && keep > 0;) {
    bytes = codec.ToAnsi(text.substr(0, --keep));
  }
  bytes.push_back('\0');
  if (text.size() < field.size()) bytes += codec.ToAnsi(field.substr(text.size() + 1));
  bytes.resize(out.size(), '\0');
  std::copy(bytes.begin(), bytes.end(), out.begin());
}

}  // namespace rerevure::platform
