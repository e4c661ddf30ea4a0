#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rerevure::shell {

// What a start of the program may ask for, on its command line or handed
// over from a later start to the running instance.
enum class Request { Show, School, Home, Exit };

// The arguments of one start. Every argument is checked before anything is
// done: one that is not known makes the whole command line refused, so a
// mistyped script line never switches half of what it says. The known ones
// are carried out in the order given; /exit ends the program, so what
// follows it is not carried out.
struct CommandLine {
  std::vector<Request> requests;
  // The first argument that is not known, exactly as given.
  std::optional<std::wstring> unknown;
};

// The arguments without the program's own name. Each is /name or -name, the
// name in any case: show, school, home, exit.
CommandLine ParseCommandLine(std::span<const std::wstring> arguments);

// The requests as one line of arguments ("/school /show"), the form in which
// a later start hands them to the running instance; ParseRequests reads it
// back (a line with an unknown word gives no requests at all).
std::wstring RequestsText(std::span<const Request> requests);
std::vector<Request> ParseRequests(std::wstring_view text);

// The message box for a refused command line: the argument and the usage.
std::wstring UsageText(const std::wstring& unknown_argument);

}  // namespace rerevure::shell
