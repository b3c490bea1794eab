// How the launcher reads one line of a launch script. The tests are
// containment tests, so a key also counts inside a longer word.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// True when key occurs anywhere in text, byte for byte.
bool contains(const std::string& text, const std::string& key);

// Everything behind the first "=" of the line; empty when there is none.
std::string text_after_first_equals(const std::string& line);

// 0 and the line's count when the line holds "PLAYERS" and "="; 1 and count
// untouched otherwise.
int read_players_line(const std::string& line, std::int32_t& count);

// The trimmed value of an INSTANCE line; empty when the line starts nothing.
std::string instance_line_value(const std::string& line);

} // namespace morv
