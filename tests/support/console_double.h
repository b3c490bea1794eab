// A scripted console and clock in place of the real ones, for tests of the
// dialogue: input arrives at chosen moments of a clock that only sleeps move.
#pragma once

#include "platform_console.h"

#include <string>

namespace morv {

void double_reset(bool terminal, int columns = 80);
void double_set_utf8(bool utf8);
void double_set_moves_cursor(bool moves_cursor);
// Keys come from the terminal, standard output goes to a file.
void double_set_output_to_file(bool to_file);

// The terminal changes when the clock reaches at_seconds, to columns wide; a
// read waiting then returns with nothing, as a signal or an event wakes it.
void double_change(ConsoleChange change, int columns, double at_seconds);

// Input bytes that become readable when the clock reaches at_seconds.
void double_type(const std::string& bytes, double at_seconds = 0.0);

std::string double_output();
std::string double_echo(); // what was drawn on the terminal, not on the file
double double_clock_seconds();
int double_attribute(); // the last text attribute set; -1 when none
int double_key_polls(); // reads that waited for nothing (key tests)

} // namespace morv
