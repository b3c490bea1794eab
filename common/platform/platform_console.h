// The console and the clock: the part of the operating-system seam that a
// test replaces with a scripted console (tests/support/console_double.cpp).
// Implemented once per platform (platform_posix_console.cpp,
// platform_win32_console.cpp); a program links exactly one of them. Texts are
// byte strings in the console's 8-bit code page.
#pragma once

#include <string>

namespace morv {

// ---- Start and end of the process -------------------------------------------

// Records the arguments and prepares the console: on a terminal, raw input for
// the whole run, restored on every way out (normal end, Ctrl+C, termination).
void platform_start(int argc, char** argv);

// Restores the console and ends the process with the status.
[[noreturn]] void platform_exit(int status);

// The n-th argument after the program's own name; empty when there is none.
std::string platform_argument(int n);

// ---- Console ------------------------------------------------------------------

bool platform_input_is_terminal();
bool platform_output_is_terminal();

// Writes the bytes to standard output, all of them.
void platform_write_console(const std::string& bytes);

// True when the typed line can be drawn on a terminal as it is edited:
// standard output is one, or standard input is one and standard output is a
// file or a pipe, and the process's terminal could be opened for the drawing.
bool platform_echo_is_terminal();

// Writes the bytes that draw the typed line: to standard output when it is a
// terminal, else to the terminal of platform_echo_is_terminal; nowhere when
// there is none. Standard output gets none of them then.
void platform_write_echo(const std::string& bytes);

// Reads console input bytes into buffer. A terminal delivers its keys as the
// byte sequences an xterm sends (Windows key events are translated into them).
// timeout_ms < 0 blocks until input comes. Returns the number of bytes read,
// 0 when nothing came within the timeout, -1 when the input has ended.
int platform_read_console(char* buffer, int size, int timeout_ms);

// The line end of text meant for other programs (help and version texts):
// LF on POSIX, CR LF on Windows.
const char* platform_text_line_end();

// The platform's own word for help besides -h: "/?" on Windows, none ("") on
// POSIX, where /? is a file name like any other.
const char* platform_help_switch();

// Width of the terminal in columns (80 when it cannot be told).
int platform_console_columns();

// Rows of the terminal's screen, above which text scrolls out of reach of
// the cursor; 0 when it cannot be told or nothing is out of reach.
int platform_console_rows();

// True when the terminal shows text as UTF-8, where one character may take
// several bytes; false for an 8-bit code page.
bool platform_console_is_utf8();

// False for a terminal that takes no control sequences (TERM is dumb or
// unset): the typed line then only grows and shrinks at its end.
bool platform_console_moves_cursor();

// What the terminal went through that asks for the typed line to be drawn
// again: a new width, or a suspension (Ctrl+Z) that the shell has ended.
enum ConsoleChange { CONSOLE_UNCHANGED = 0, CONSOLE_RESIZED = 1, CONSOLE_CONTINUED = 2 };

// The change since the last call, which it forgets; a continuation outranks
// a resize. A read of platform_read_console returns 0 at once when one comes.
ConsoleChange platform_console_change();

// Sets the text colour: attribute bits 1 blue, 2 green, 4 red, 8 bright, on a
// black background. Does nothing when standard output is not a terminal, when
// the terminal takes no control sequences, or when the user asked for no
// colour (NO_COLOR set and not empty).
void platform_set_text_attribute(int attribute);

// Fixes the console window's frame so it cannot be resized or maximised.
void platform_lock_console_window();

// ---- Time ----------------------------------------------------------------------

// A monotonic high-resolution clock in seconds.
double platform_clock_seconds();

void platform_sleep_ms(int ms);

} // namespace morv
