#include "shell/CommandLine.h"

#include <algorithm>
#include <array>
#include <cwctype>

namespace rerevure::shell {
namespace {

struct RequestName {
  Request request;
  std::wstring_view name;
};

constexpr std::array<RequestName, 4> kRequestNames{{
    {Request::Show, L"show"},
    {Request::School, L"school"},
    {Request::Home, L"home"},
    {Request::Exit, L"exit"},
}};

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(a[i]) != std::towlower(b[i])) return false;
  }
  return true;
}

std::optional<Request> RequestOf(std::wstring_view argument) {
  if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) return std::nullopt;
  for (const RequestName& known : kRequestNames) {
    if (SameIgnoringCase(argument.substr(1), known.name)) return known.request;
  }
  return std::nullopt;
}

}  // namespace

CommandLine ParseCommandLine(std::span<const std::wstring> arguments) {
  CommandLine result;
  for (const std::wstring& argument : arguments) {
    const std::optional<Request> request = RequestOf(argument);
    if (!request) {
      result.requests.clear();
      result.unknown = argument;
      return result;
    }
    result.requests.push_back(*request);
  }
  return result;
}

std::wstring RequestsText(std::span<const Request> requests) {
  std::wstring text;
  for (const Request request : requests) {
    for (const RequestName& known : kRequestNames) {
      if (known.request != request) continue;
      if (!text.empty()) text += L' ';
      text += L'/';
      text += known.name;
    }
  }
  return text;
}

std::vector<Request> ParseRequests(std::wstring_view text) {
  std::vector<std::wstring> words;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find(L' ', start), text.size());
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  CommandLine parsed = ParseCommandLine(words);
  return parsed.unknown ? std::vector<Request>{} : std::move(parsed.requests);
}

std::wstring UsageText(const std::wstring& unknown_argument) {
  // A message box shows a proportional font: one usage per line, no columns.
  return L"Unknown argument: " + unknown_argument +
         L"\r\n\r\n"
         L"Usage:\r\n"
         L"Rerevure.exe: start, or show the running program\r\n"
         L"Rerevure.exe /school: switch to the school network\r\n"
         L"Rerevure.exe /home: switch to the home network\r\n"
         L"Rerevure.exe /show: show the main window\r\n"
         L"Rerevure.exe /exit: end the running program\r\n"
         L"\r\n"
         L"Use / or -, in any case.";
}

}  // namespace rerevure::shell
