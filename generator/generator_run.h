// The answers of one morvmake run, filled stage by stage.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace morv {

inline constexpr int MAX_PLAYERS = 8;

// Said of a name that would stand in the launch script but holds what
// morvplay refuses there (launch_commands.h).
inline constexpr const char* UNFIT_NAME_LINE =
    "A name cannot hold & \" < > | or control characters.";

struct PlayerSlot {
    std::string name;
    std::int32_t colour = 0;
    std::int32_t kills = 0;
};

struct GeneratorRun {
    std::string source_path; // where the demo is renamed from
    std::string demo_name;   // the demo's file name as every later stage uses it
    std::string base_name;   // demo_name without its extension, trimmed
    std::string script_name; // base_name + ".MORV"
    std::int32_t player_count = 0;
    std::string mode;                            // "M" map file or "L" built-in level
    std::string map_name;                        // map name without extension
    std::string map_file;                        // map file name with extension
    std::string level_number;                    // as typed
    std::array<PlayerSlot, MAX_PLAYERS> slots{}; // player k is slots[k - 1]
    int script_file = 0; // text file number of the launch script; 0 when none
};

// The slot of player number 1..8.
inline PlayerSlot& player_slot(GeneratorRun& run, int number) {
    return run.slots[static_cast<std::size_t>(number - 1)];
}
inline const PlayerSlot& player_slot(const GeneratorRun& run, int number) {
    return run.slots[static_cast<std::size_t>(number - 1)];
}

} // namespace morv
