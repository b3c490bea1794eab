// morvplay's top level: argument check, the two passes over the launch script
// with the COMMIT.DAT update between them, the closing line and the key wait.
#include "commit_dat.h"
#include "console.h"
#include "instance_launch.h"
#include "launcher_run.h"
#include "script_lines.h"
#include "text.h"
#include "text_file.h"

namespace morv {

namespace {
// Both passes read the script as file 1; COMMIT.DAT takes 1 again in between.
constexpr int SCRIPT_FILE = 1;
// Real lines stay under 1 KB, and Windows starts no command line past 32,767
// characters; a longer line is no launch script, and holding it would take
// memory by the size of the input.
constexpr std::size_t SCRIPT_LINE_LIMIT = 1024 * 1024;

// The next line; false when the script cannot be read that far.
bool read_script_line(std::string& line) {
    const bool complete = read_text_piece(SCRIPT_FILE, line, SCRIPT_LINE_LIMIT + 3);
    return complete && line.size() <= SCRIPT_LINE_LIMIT && !text_file_failed(SCRIPT_FILE);
}
} // namespace

int read_player_count(const std::string& script_path, std::int32_t& count) {
    count = 0;
    if (open_text_file(script_path, FILE_READING, SCRIPT_FILE) != 0) {
        return 1;
    }
    int result = 0;
    std::string line;
    while (result == 0 && !at_end(SCRIPT_FILE)) {
        if (read_script_line(line)) {
            read_players_line(trim_spaces(line), count);
        } else {
            result = 1;
        }
    }
    // A read error also ends the file for at_end.
    if (text_file_failed(SCRIPT_FILE)) {
        result = 1;
    }
    close_text_file(SCRIPT_FILE);
    return result;
}

int launch_instances(const std::string& script_path) {
    if (open_text_file(script_path, FILE_READING, SCRIPT_FILE) != 0) {
        return 1;
    }
    int result = 0;
    std::string line;
    while (result == 0 && !at_end(SCRIPT_FILE)) {
        if (!read_script_line(line)) {
            result = 1;
            continue;
        }
        const std::string value = instance_line_value(trim_spaces(line));
        if (!value.empty()) {
            launch_instance(value);
        }
    }
    if (text_file_failed(SCRIPT_FILE)) {
        result = 1;
    }
    close_text_file(SCRIPT_FILE);
    return result;
}

void run_launcher() {
    LauncherRun run;
    run.script_path = program_argument(1);
    if (run.script_path.empty()) {
        print_text("Drag a .MORV file onto this EXE.", true);
        wait_for_key();
        end_program(0);
    }
    // A path that names nothing readable (a typo, say), or a read that
    // fails, must not reset the game's set-up to 0 players and report success.
    if (read_player_count(run.script_path, run.player_count) != 0) {
        print_text(run.script_path + " could not be read; nothing was changed or started.", true);
        wait_for_key();
        end_program(0);
    }
    print_text("PLAYERS = ", false);
    print_integer(run.player_count);
    update_commit_dat(run.player_count);
    if (launch_instances(run.script_path) != 0) {
        print_text(run.script_path +
                       " could not be read to its end; no further instance was started.",
                   true);
    } else {
        print_text("All instances launched.", true);
    }
    wait_for_key();
    end_program(0);
}

} // namespace morv
