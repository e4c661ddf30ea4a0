#pragma once

#include <string>
#include <string_view>

namespace rerevure::switching {

// One value as it must stand in a batch file line so that the command
// interpreter hands it to the program as exactly one argument, as typed:
// - a value without blanks or cmd special characters stays as it is (only
//   '%' is doubled, since batch files expand variables even inside quotes);
// - otherwise (a character outside ASCII included) it is put in double quotes, inside which & | < >
// ^ ( ) ! ; , =
//   and blanks are plain text; backslashes ending the value are doubled so
//   that the C runtime's argument rules do not read the closing quote as a
//   literal one;
// - a value holding a double quote or a control character (a line break
//   included) cannot be passed safely and gives "", leaving it out.
// An empty value gives "".
std::wstring BatchArgument(std::wstring_view value);

// False for a value that BatchArgument leaves out.
bool CanPassInBatch(std::wstring_view value);

}  // namespace rerevure::switching
