#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace rerevure::platform {

class TextCodec;

// Lengths of the record's text fields, in characters.
inline constexpr std::size_t kTipLength = 128;
inline constexpr std::size_t kInfoLength = 256;
inline constexpr std::size_t kInfoTitleLength = 64;

// The size the platform's ANSI record has with this build's handles: 488 bytes
// with 32-bit handles; 64-bit handles add their width and two alignment pads.
inline constexpr std::uint32_t kNotifyIconRecordSize = sizeof(void*) == 4 ? 488 : 504;

// Shell_NotifyIconA messages.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;

// uFlags bits.
inline constexpr std::uint32_t kNifMessage = 0x1;
inline constexpr std::uint32_t kNifIcon = 0x2;
inline constexpr std::uint32_t kNifTip = 0x4;
inline constexpr std::uint32_t kNifInfo = 0x10;

// uCallbackMessage: the mouse-move message (see win32/Win32PrivateMessages.h).
inline constexpr std::uint32_t kTrayCallbackMessage = 0x200;

// dwInfoFlags: the balloon's icon.
inline constexpr std::uint32_t kNiifInfo = 1;
inline constexpr std::uint32_t kNiifWarning = 2;

// The notification-icon record with balloon fields, kept as Unicode text.
// Each text field always holds exactly its length in characters; a field that
// was never set holds NULs only, as a fresh platform record does.
struct NotifyIconRecord {
  std::uint32_t cbSize = 0;
  std::uintptr_t hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uintptr_t hIcon = 0;
  std::wstring szTip = std::wstring(kTipLength, L'\0');
  std::uint32_t dwState = 0;
  std::uint32_t dwStateMask = 0;
  std::wstring szInfo = std::wstring(kInfoLength, L'\0');
  std::uint32_t uTimeout = 0;
  std::wstring szInfoTitle = std::wstring(kInfoTitleLength, L'\0');
  std::uint32_t dwInfoFlags = 0;

  friend bool operator==(const NotifyIconRecord&, const NotifyIconRecord&) = default;
};

// What setting a text field stores: the text, one NUL, then blanks up to the
// field's length. A text too long for the field is cut so that the NUL fits.
std::wstring FixedTextField(std::wstring_view text, std::size_t length);

// The text of a field: everything before its first NUL.
std::wstring_view FieldText(std::wstring_view field);

// Fills out (the record's ANSI field) from a Unicode field: the converted
// text, a NUL that always lands inside out, then the converted rest of the
// field, NUL-padded. A text whose ANSI form is longer than the field is cut.
void ToAnsiField(const TextCodec& codec, std::wstring_view field, std::span<char> out);

}  // namespace rerevure::platform
