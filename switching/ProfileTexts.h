#pragma once

#include <cstdint>
#include <string_view>

namespace rerevure::switching {

// What a profile switch tells the user, by message box or by balloon.
struct ProfileTexts {
  std::wstring_view message;        // message box (OK and Cancel)
  std::wstring_view balloon_title;  // also the title of this profile's warnings
  std::wstring_view balloon_text;
  std::wstring_view refused;  // the library refused the proxy change
};

inline constexpr ProfileTexts kSchoolTexts = {
    L"School Proxy Enabled.",
    L"Rerevure - School Network ON",
    L"Your Now On Your School Network,\r\nSchool Proxy Enabled.",
    L"School Proxy could not be enabled.",
};

inline constexpr ProfileTexts kHomeTexts = {
    L"School Proxy Disabled.",
    L"Rerevure - Home Network ON",
    L"Your Now On Your Home Network,\r\nSchool Proxy Disabled.",
    L"School Proxy could not be disabled.",
};

inline constexpr std::uint32_t kBalloonTimeoutMs = 3000;

// The school switch's warning when the school's proxy policy cannot be set,
// before the reason.
inline constexpr std::wstring_view kSchoolProxyLeftAsItIs =
    L"School Proxy could not be enabled, the proxy was left as it is: ";

// The school profile's proxy, on the default connection ("").
inline constexpr std::wstring_view kSchoolProxyAddress = L"172.27.2.251:8080";
inline constexpr std::wstring_view kDefaultConnection = L"";

// The automation shell object the switches start their commands with.
inline constexpr std::wstring_view kShellProgId = L"wscript.shell";

// The home profile's command: removes every drive mapping without asking.
inline constexpr std::wstring_view kDisconnectCommand = L"net use * /d /y";

}  // namespace rerevure::switching
