// The player count in the game's network set-up file COMMIT.DAT.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// A NUMPLAYERS line: its blank-trimmed form holds "NUMPLAYERS" in any case
// and "=", and does not start with the comment mark ";".
bool is_numplayers_line(const std::string& line);

// The line that takes the place of every NUMPLAYERS line.
std::string numplayers_line(std::int32_t player_count);

// What the updated file holds in place of the line.
std::string updated_commit_line(const std::string& line, std::int32_t player_count);

// Rewrites the NUMPLAYERS lines of COMMIT.DAT in the working folder and
// prints the closing line. COMMIT.DAT changes only in one step, to its
// complete updated copy; otherwise a line says it was left as it was.
void update_commit_dat(std::int32_t player_count);

} // namespace morv
