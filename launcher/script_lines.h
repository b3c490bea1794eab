// How the launcher reads one line of a launch script. A line's kind is told
// by the word before its first "=", so a name, map or demo behind it that
// holds PLAYERS or INSTANCE changes nothing; a key also counts inside a
// longer word there (NUMPLAYERS).
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// True when key occurs anywhere in text, byte for byte.
bool contains(const std::string& text, const std::string& key);

// True when key occurs, byte for byte, in the line before its first "=".
bool key_before_first_equals(const std::string& line, const std::string& key);

// Everything behind the first "=" of the line; empty when there is none.
std::string text_after_first_equals(const std::string& line);

// 0 and the line's count when "PLAYERS" stands before the line's first "=";
// 1 and count untouched otherwise.
int read_players_line(const std::string& line, std::int32_t& count);

// The trimmed value of a line where "INSTANCE" stands before the first "=";
// empty when the line starts nothing.
std::string instance_line_value(const std::string& line);

} // namespace morv
