// The player count in the game's network set-up file COMMIT.DAT.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// What tells a NUMPLAYERS line, gathered from a line given piece by piece: a
// NUMPLAYERS line's blank-trimmed form holds "NUMPLAYERS" in any case and
// "=", and does not start with the comment mark ";".
struct LineScan {
    bool started = false; // a byte other than a blank was seen
    bool comment = false; // and it was ";"
    bool key = false;     // "NUMPLAYERS" in any case
    bool equals = false;
    std::string tail; // the last bytes seen, upper-cased, where a key may begin
};

void scan_line_piece(LineScan& scan, const std::string& piece);
bool scan_is_numplayers_line(const LineScan& scan);

// The line that takes the place of every NUMPLAYERS line.
std::string numplayers_line(std::int32_t player_count);

// True when the working folder holds COMMIT.DAT (in any case of its name):
// it is the game's folder, and only there may morvplay change or start
// anything.
bool commit_dat_present();

// update_commit_dat's result when another program held the folder's lock
// for the whole wait.
inline constexpr int COMMIT_DAT_BUSY = 1;

// Rewrites the NUMPLAYERS lines of COMMIT.DAT in the working folder and
// prints the closing line. COMMIT.DAT changes only in one step, to its
// complete updated copy; otherwise a line says it was left as it was, and
// that line closes the update. 0 when the update ran; COMMIT_DAT_BUSY, with
// nothing printed or changed, when it could not begin.
int update_commit_dat(std::int32_t player_count);

} // namespace morv
