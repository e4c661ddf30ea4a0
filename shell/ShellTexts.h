#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/SettingsTexts.h"

namespace rerevure::shell {

// The application title: the title of message boxes that give none. The
// settings window, below the shell, owns it.
using settings::kApplicationTitle;

// The organisation's web page, opened by a double-click on the frame and
// named in the About balloon. One constant, so that a school re-badging the
// program changes it in one place; the About text must stay within the
// balloon's 255 characters.
inline constexpr std::wstring_view kOrganisationWebAddress = L"http://www.viriru.school.nz/";

// The browser started for the web page; the trailing blank separates the
// address that follows. The path is quoted: unquoted, its blanks let the
// system try C:\Program.exe and C:\Program Files\Internet.exe first, and a
// program planted at either would start in the browser's place.
inline constexpr std::wstring_view kBrowserCommand =
    L"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" ";

// Written at every start so that the shell shows the program's balloons.
inline constexpr std::wstring_view kEnableBalloonTipsPath =
    L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\"
    L"EnableBalloonTips";

inline constexpr std::wstring_view kAboutTitle = L"Rerevure v1.6";
inline constexpr std::uint32_t kAboutTimeoutMs = 100000;

// "Thanks for using this application!," CR LF "Rerevure has been created by
// ZUV Orarevirado." CR LF the web address.
std::wstring AboutText();

// The text of the top-level error report: the error number and its
// description. A negative number is an HRESULT, which people look up in
// hexadecimal, so it is shown both ways.
std::wstring ErrorReportText(std::int32_t number, const std::wstring& description);

}  // namespace rerevure::shell
