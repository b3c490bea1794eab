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

// Missing, a folder, or no permission to read it.
bool script_can_be_read(const std::string& script_path) {
    if (open_text_file(script_path, FILE_READING, SCRIPT_FILE) != 0) {
        return false;
    }
    close_text_file(SCRIPT_FILE);
    return true;
}
} // namespace

std::int32_t read_player_count(const std::string& script_path) {
    // A script that can no longer be opened simply has no lines.
    open_text_file(script_path, FILE_READING, SCRIPT_FILE);
    std::int32_t count = 0;
    while (!at_end(SCRIPT_FILE)) {
        std::string line;
        read_text_line(SCRIPT_FILE, line);
        read_players_line(trim_spaces(line), count);
    }
    close_text_file(SCRIPT_FILE);
    return count;
}

void launch_instances(const std::string& script_path) {
    open_text_file(script_path, FILE_READING, SCRIPT_FILE);
    while (!at_end(SCRIPT_FILE)) {
        std::string line;
        read_text_line(SCRIPT_FILE, line);
        const std::string value = instance_line_value(trim_spaces(line));
        if (!value.empty()) {
            launch_instance(value);
        }
    }
    close_text_file(SCRIPT_FILE);
}

void run_launcher() {
    LauncherRun run;
    run.script_path = program_argument(1);
    if (run.script_path.empty()) {
        print_text("Drag a .MORV file onto this EXE.", true);
        wait_for_key();
        end_program(0);
    }
    // A path that names nothing readable (a typo, say) must not reset the
    // game's set-up to 0 players and report success.
    if (!script_can_be_read(run.script_path)) {
        print_text(run.script_path + " could not be read; nothing was changed or started.", true);
        wait_for_key();
        end_program(0);
    }
    run.player_count = read_player_count(run.script_path);
    print_text("PLAYERS = ", false);
    print_integer(run.player_count);
    update_commit_dat(run.player_count);
    launch_instances(run.script_path);
    print_text("All instances launched.", true);
    wait_for_key();
    end_program(0);
}

} // namespace morv
