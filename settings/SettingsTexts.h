#pragma once

#include <string_view>

namespace rerevure::settings {

inline constexpr std::wstring_view kApplicationTitle = L"Rerevure";
inline constexpr std::wstring_view kSavedMessage = L"Settings Saved!";
inline constexpr std::wstring_view kHelpTitle = L"Rerevure v1.6";
inline constexpr std::wstring_view kHelpText =
    L"When filling in a text box, enter the path to your shared folder\r\n"
    L"For example \"\\\\172.27.106.2\\MyShare\".\r\n"
    L"\r\n"
    L"You only need to specify a username and password\r\n"
    L"if your not on the domain.";

}  // namespace rerevure::settings
