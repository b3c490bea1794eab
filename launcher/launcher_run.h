// morvplay's top level: one run over one launch script.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// The state of one launcher run.
struct LauncherRun {
    std::string script_path;       // the first argument as given; empty when none
    std::int32_t player_count = 0; // from the script's last PLAYERS line
    std::string refused_command;   // the first segment no launch script holds
};

// What the first pass found.
enum ScriptCheck { SCRIPT_ACCEPTED = 0, SCRIPT_UNREADABLE = 1, SCRIPT_REFUSED = 2 };

// Reads the count, updates COMMIT.DAT, starts every instance, waits for a key
// and ends the process with exit status 0.
[[noreturn]] void run_launcher();

// First pass over the script, before anything is changed or started: count
// becomes that of its last PLAYERS line, 0 when none. SCRIPT_UNREADABLE when
// the script cannot be read to its end (it cannot be opened, a read fails, or
// a line is longer than 1 MiB); SCRIPT_REFUSED, with the segment in refused,
// when an INSTANCE line asks for a command that is no launch command.
int read_player_count(const std::string& script_path, std::int32_t& count, std::string& refused);

// Second pass: starts one emulator for every INSTANCE line with a value, in
// the order of the lines. Nonzero, and no further start, when the script
// cannot be read to its end or now holds a command the first pass would have
// refused.
int launch_instances(const std::string& script_path);

} // namespace morv
