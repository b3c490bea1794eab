// Windows-style command lines: how a program started from one line receives
// its arguments, by the rules of the Microsoft C runtime.
#pragma once

#include <string>
#include <vector>

namespace morv {

// The arguments a Windows program's main() gets for this command line; the
// first element is the program as named on the line.
std::vector<std::string> split_command_line(const std::string& command_line);

} // namespace morv
