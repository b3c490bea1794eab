// The console dialogue of both programs: printing, colours, prompts with line
// editing, key waits, the command line and the end of the program.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

inline constexpr const char* LINE_END = "\r\n";

// Prepares the console for the run; call once, first.
void start_console(int argc, char** argv);

void print_text(const std::string& text, bool line_end);
void print_integer(std::int32_t value);
// The colours the generator uses: red before its error messages, green
// before its success lines, bright white for the closing summary.
inline constexpr int GREEN = 2;
inline constexpr int RED = 4;
inline constexpr int BRIGHT_WHITE = 15;

void set_colour(int colour);

std::string prompt_field(const std::string& prompt);
std::int32_t prompt_integer(const std::string& prompt);
std::string prompt_line(const std::string& prompt);

// True once a prompt has met the end of the input (a pipe or file that ran
// dry, or a terminal that went away); such a prompt read an empty line.
bool console_input_ended();

void wait_for_key();
void pause_ms(int ms);

std::string program_argument(int n);

// Closes every open text file and ends the process with the status.
[[noreturn]] void end_program(int status);

} // namespace morv
