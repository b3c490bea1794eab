// The launch script: the player count and, per player, the chain of DOS
// commands that player's emulator runs.
#include "launch_script.h"

#include "console.h"
#include "run_generator.h"
#include "text.h"
#include "text_file.h"

namespace morv {

namespace {

// Player 1 hosts the emulator's IPX network; the others join it.
std::string network_command(int number) {
    return number == 1 ? "ipxnet startserver & " : "ipxnet connect localhost & ";
}

// Governed by map_name, while the file with its extension is what is written.
std::string match_option(const GeneratorRun& run) {
    if (run.mode == "M" && !run.map_name.empty()) {
        return "-map " + run.map_file + " ";
    }
    if (run.mode == "L" && !run.level_number.empty()) {
        return "-level" + run.level_number + " ";
    }
    return "";
}

[[noreturn]] void fail_launch_script() {
    set_colour(RED);
    abort_run("Error creating file!");
}

// 0 when every line reached the file and it closed cleanly.
int write_all_lines(const GeneratorRun& run) {
    int result = 0;
    for (const std::string& line : launch_script_lines(run)) {
        if (write_text_line(run.script_file, line) != 0) {
            result = 1;
            break;
        }
    }
    if (close_text_file(run.script_file) != 0) {
        result = 1;
    }
    return result;
}

} // namespace

std::string compose_instance_value(const GeneratorRun& run, int number) {
    const PlayerSlot& slot = player_slot(run, number);
    return "MOUNT C . & C: & " + network_command(number) + "ipxsetup -player " +
           int_to_text(number) + " -nodes " + int_to_text(run.player_count) +
           " vcommit sw.exe -dp" + run.demo_name + " " + match_option(run) +
           "-autonet 0,3,0,1,1,0,20,0," + int_to_text(slot.colour) + ",0 -name " + slot.name;
}

std::vector<std::string> launch_script_lines(const GeneratorRun& run) {
    std::vector<std::string> lines;
    lines.push_back("PLAYERS = " + int_to_text(run.player_count));
    lines.push_back("---");
    for (int number = 1; number <= MAX_PLAYERS; ++number) {
        std::string line = "INSTANCE" + int_to_text(number) + " = ";
        if (number <= run.player_count) {
            line += compose_instance_value(run, number);
        }
        lines.push_back(line);
    }
    return lines;
}

void write_launch_script(GeneratorRun& run) {
    run.script_file = first_free_file_number();
    // Written beside the old script, which it replaces only when complete:
    // a failed or interrupted write, or a second morvmake at the same time,
    // leaves a whole script, never a short one that passes for finished.
    if (open_text_file(run.script_name, FILE_REPLACING, run.script_file) != 0 ||
        write_all_lines(run) != 0) {
        fail_launch_script();
    }
}

} // namespace morv
