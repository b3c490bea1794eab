// --help and --version, the two options every command-line user tries first,
// and the short help words of each platform's habit. They are answered before
// the dialogue starts; any other first argument is the program's file
// argument as always.
#pragma once

#include <string>

namespace morv {

// "--help" or "--version" when the arguments ask for it, otherwise "": the two
// options as the first argument; -h and help_switch (the platform's own word,
// "" for none) only as the first argument alone, since a file may have any
// name.
std::string requested_standard_option(const std::string& first_argument,
                                      const std::string& second_argument,
                                      const std::string& help_switch);

// The text that answers first_argument, its lines ended by line_end; empty
// when first_argument is not exactly "--help" or "--version". usage holds
// LF-ended lines.
std::string standard_option_answer(const std::string& program, const std::string& usage,
                                   const std::string& first_argument, const std::string& line_end);

// Prints the answer and ends the program with status 0 when the first
// argument is one of the two options; otherwise does nothing.
void answer_standard_option(const std::string& program, const std::string& usage);

} // namespace morv
