// One emulator per instance value: the command line, its start and the pause
// that spaces the instances out.
#pragma once

#include <string>
#include <vector>

namespace morv {

// The pause after every launch attempt: the instance just started needs the
// time to set up its network before the next one joins it.
inline constexpr int LAUNCH_PAUSE_MS = 3000;

// The pieces between the "&" marks, each trimmed; empty pieces stay.
std::vector<std::string> split_segments(const std::string& value);

// The first non-empty segment of the value that is no launch command (see
// launch_commands.h); empty when there is none.
std::string refused_segment(const std::string& value);

// "dosbox.exe -conf dosbox.conf" and one -c "..." option per non-empty
// segment. Backslashes that end a segment are doubled, so that they reach the
// emulator as typed instead of taking its closing quote with them.
std::string compose_command_line(const std::vector<std::string>& segments);

// Starts the command line without waiting for it; prints a line when it
// cannot be started.
void launch_command(const std::string& command_line);

// Prints the command line, starts it and pauses LAUNCH_PAUSE_MS (a key cuts
// the pause short).
void launch_instance(const std::string& value);

} // namespace morv
