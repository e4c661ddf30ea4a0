#include "shell/ShellTexts.h"

#include <cstdio>

namespace rerevure::shell {

std::wstring AboutText() {
  std::wstring text = L"Thanks for using this application!,\r\n";
  text += L"Rerevure has been created by ZUV Orarevirado.\r\n";
  text += kOrganisationWebAddress;
  return text;
}

std::wstring ErrorReportText(std::int32_t number, const std::wstring& description) {
  std::wstring text = L"Error " + std::to_wstring(number);
  if (number < 0) {
    wchar_t hex[16];
    std::swprintf(hex, sizeof hex / sizeof hex[0], L" (%08X)", static_cast<std::uint32_t>(number));
    text += hex;
  }
  text += L":\r\n\r\n";
  text += description;
  return text;
}

}  // namespace rerevure::shell
