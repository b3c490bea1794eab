// The launch script: the player count and, per player, the chain of DOS
// commands that player's emulator runs. morvplay reads it.
#pragma once

#include "generator_run.h"

#include <string>
#include <vector>

namespace morv {

// The commands of player number (1..player_count), joined by " & ".
std::string compose_instance_value(const GeneratorRun& run, int number);

// The 10 lines of the launch script, without line ends.
std::vector<std::string> launch_script_lines(const GeneratorRun& run);

// Writes script_name. When it cannot be written completely the run ends with
// "Error creating file!" in red, the old script of that name as it was and no
// partial file left behind.
void write_launch_script(GeneratorRun& run);

} // namespace morv
