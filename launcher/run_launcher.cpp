// morvplay's top level: argument check, the two passes over the launch script
// with the COMMIT.DAT update between them, the closing line and the key wait.
#include "commit_dat.h"
#include "console.h"
#include "file_ops.h"
#include "instance_launch.h"
#include "launch_commands.h"
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

[[noreturn]] void end_with(const std::string& line) {
    print_text(line, true);
    wait_for_key();
    end_program(0);
}
} // namespace

int read_player_count(const std::string& script_path, std::int32_t& count, std::string& refused) {
    count = 0;
    if (open_text_file(script_path, FILE_READING, SCRIPT_FILE) != 0) {
        return SCRIPT_UNREADABLE;
    }
    int result = SCRIPT_ACCEPTED;
    std::string line;
    while (result == SCRIPT_ACCEPTED && !at_end(SCRIPT_FILE)) {
        if (!read_script_line(line)) {
            result = SCRIPT_UNREADABLE;
            continue;
        }
        line = trim_spaces(line);
        read_players_line(line, count);
        refused = refused_segment(instance_line_value(line));
        result = refused.empty() ? SCRIPT_ACCEPTED : SCRIPT_REFUSED;
    }
    // A read error also ends the file for at_end.
    if (text_file_failed(SCRIPT_FILE)) {
        result = SCRIPT_UNREADABLE;
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
        // The script may have changed since the first pass read it.
        if (!refused_segment(value).empty()) {
            result = 1;
        } else if (!value.empty()) {
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
        end_with("Drag a .MORV file onto this EXE.");
    }
    // The path and the script's commands come from outside: shown with their
    // control characters as carets, they cannot move the cursor or rewrite
    // what the screen says.
    const std::string shown = caret_notation(run.script_path);
    // Nothing is changed or started for a script that cannot be read (a
    // typo, say), that asks for more than a demo, or that is no launch
    // script at all (a demo dropped by mistake, PLAYERS = 0).
    const int check = read_player_count(run.script_path, run.player_count, run.refused_command);
    if (check == SCRIPT_UNREADABLE) {
        end_with(shown + " could not be read; nothing was changed or started.");
    }
    if (check == SCRIPT_REFUSED) {
        end_with(shown + " asks the emulator to run \"" + caret_notation(run.refused_command) +
                 "\", which a launch script never does; nothing was changed or started.");
    }
    if (run.player_count < 1) {
        end_with(shown + " is not a launch script; nothing was changed or started.");
    }
    // A script dropped from a received demo folder or from Downloads starts
    // morvplay there: a COMMIT.DAT made up in that folder would be reported
    // as updated and the emulators would find no game.
    if (!commit_dat_present()) {
        const std::string folder = working_folder();
        print_text("There is no COMMIT.DAT in " +
                       (folder.empty() ? std::string("this folder") : caret_notation(folder)) +
                       "; nothing was changed or started.",
                   true);
        end_with("Put the launch script, its demo and its map into the game folder and start it "
                 "there.");
    }
    print_text("PLAYERS = ", false);
    print_integer(run.player_count);
    // The emulators would read whatever the other program leaves.
    if (update_commit_dat(run.player_count) == COMMIT_DAT_BUSY) {
        end_with("COMMIT.DAT is being updated by another program; nothing was changed or started.");
    }
    if (launch_instances(run.script_path) != 0) {
        print_text(shown + " could not be read to its end; no further instance was started.", true);
    } else {
        print_text("All instances launched.", true);
    }
    wait_for_key();
    end_program(0);
}

} // namespace morv
