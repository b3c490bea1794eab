// What morvmake prints in a pipe, built from its lines, for the end-to-end
// tests: in a pipe no answer is echoed, so every prompt ends its own line.
#pragma once

#include <chrono>
#include <ctime>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace morv_test {

// Each line followed by CR LF.
inline std::string lines(std::initializer_list<std::string> texts) {
    std::string bytes;
    for (const std::string& text : texts) {
        bytes += text + "\r\n";
    }
    return bytes;
}

// Gives the file a last modification at noon local time of that day, so the
// demo folder's date is known.
inline void set_local_date(const std::filesystem::path& path, int year, int month, int day) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    const auto moment = std::chrono::system_clock::from_time_t(std::mktime(&local));
    std::filesystem::last_write_time(
        path, std::chrono::time_point_cast<std::filesystem::file_time_type::duration>(
                  std::chrono::file_clock::from_sys(moment)));
}

inline std::string banner(const std::string& demo, const std::string& script) {
    return lines(
        {"=== That's no ordinary .MORV! ===", "Demo file : " + demo, "Output    : " + script, ""});
}

inline std::string closing(const std::string& script, const std::string& demo, int players) {
    return lines({"", "BANZAI!!", "Your .MORV : " + script, "Demo used   : " + demo,
                  "Players     : " + std::to_string(players), ""});
}

inline const std::string COLOUR_LEGEND_LINES =
    lines({"", "Colors: 0-brown 1-gray 2-purple 3-red 4-yellow 5-olive 6-green 7-blue", ""});

inline const std::string LEVEL_MENU = lines({
    "",
    "Levels: ",
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
    "",
});

inline const std::string COPY_FAILURE_HEAD = lines({
    "ITAIUUU!! Either some files could not be copied or the folder could not be created.",
    "This might be caused by illegal symbols present in player names or the map name, such as "
    "`?` or `*`",
});

inline const std::string COPY_SUCCESS = lines({"Demo folder generated successfully!"});

// One player, Hawk in colour 2 on level 5 with 3 kills: the shortest whole
// dialogue after the banner, for tests about the demo's name.
inline const std::string SOLO_LEVEL_ANSWERS = "1\nL\n5\nHawk\n2\n3\n";

inline std::string solo_level_dialogue(const std::string& folder, const std::string& report) {
    return lines({"Enter number of players (1-8): ", "", "Use -map or -level?",
                  "(M)ap or (L)evel: "}) +
           LEVEL_MENU + lines({"Enter level number: "}) + COLOUR_LEGEND_LINES +
           lines({"Player 1 Name: ", "Player 1 Color (0-7): ", "", "=== Enter kills ===", "",
                  "Kills for Hawk: ", "", "", "Creating demo folder: " + folder}) +
           report;
}

} // namespace morv_test
