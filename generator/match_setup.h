// The match setup dialogue: player count, map or level, names and colours.
#pragma once

#include "generator_run.h"

#include <array>
#include <cstdint>
#include <string>

namespace morv {

inline constexpr int LEVEL_COUNT = 28;

// The game's built-in levels; the number before the hyphen is what is typed.
inline constexpr std::array<const char*, LEVEL_COUNT> LEVEL_LIST = {
    "1-seppuku station",
    "2-zilla construction",
    "3-master leep's temple",
    "4-dark woods of the serpent",
    "5-rising son",
    "6-killing fields",
    "7-hara-kiri harbor",
    "8-zilla's villa",
    "9-monastery",
    "10-raider of the lost morv",
    "11-sumo sky palace",
    "12-bath house",
    "13-unfriendly skies",
    "14-crude oil",
    "15-coolie mines",
    "16-subpen 7",
    "17-the great escape",
    "18-floating fortress",
    "19-water torture",
    "20-stone rain",
    "21-shanghai shipwreck",
    "22-auto maul",
    "23-heavy metal [dm]",
    "24-ripper valley [dm]",
    "25-house of morv [dm]",
    "26-lo morv rally [dm]",
    "27-ruins of the ronin [ctf]",
    "28-killing fields [ctf]",
};

inline constexpr const char* COLOUR_LEGEND =
    "Colors: 0-brown 1-gray 2-purple 3-red 4-yellow 5-olive 6-green 7-blue";

inline constexpr std::int32_t DEFAULT_PLAYER_COUNT = 2;

// ---- Rules without side effects -------------------------------------------------

// A count outside 1..8 silently becomes 2.
std::int32_t player_count_from_answer(std::int32_t value);

// Trimmed, first character only, upper case; the mode when "M" or "L".
std::string mode_from_answer(const std::string& answer);

// The typed (trimmed) map name with ".map" added unless ".MAP" occurs in it
// in any letter case.
std::string map_file_from_typed(const std::string& typed);

// The typed map name cut before its last "."; may be empty.
std::string map_name_from_typed(const std::string& typed);

// Trimmed; "Player" and the number when nothing is left.
std::string player_name_from_answer(const std::string& answer, int number);

// The typed number rounded half to even; text that is no number gives 0.
std::int32_t colour_from_answer(const std::string& answer);

bool is_colour(std::int32_t colour);

// ---- The dialogue ---------------------------------------------------------------

// Fills player_count, mode, the map or level fields and the players' names
// and colours. The end of the input at the map-or-level question ends the run.
void run_match_setup(GeneratorRun& run);

} // namespace morv
