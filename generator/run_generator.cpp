// morvmake's top level: the stages of the dialogue in their fixed order.
#include "run_generator.h"

#include "console.h"
#include "demo_folder.h"
#include "demo_intake.h"
#include "file_ops.h"
#include "launch_script.h"
#include "match_setup.h"
#include "platform_console.h"
#include "text.h"
#include "text_file.h"

namespace morv {

void abort_run(const std::string& message) {
    print_text(message, true);
    wait_for_key();
    end_program(0);
}

void print_package_banner(const GeneratorRun& run) {
    print_text("=== That's no ordinary .MORV! ===", true);
    print_text("Demo file : " + run.demo_name, true);
    print_text("Output    : " + run.script_name, true);
    print_text("", true);
}

void print_closing_summary(GeneratorRun& run) {
    close_text_file(run.script_file);
    print_text("", true);
    set_colour(GREEN);
    print_text("BANZAI!!", true);
    set_colour(BRIGHT_WHITE);
    print_text("Your .MORV : " + run.script_name, true);
    print_text("Demo used   : " + run.demo_name, true);
    print_text("Players     : " + int_to_text(run.player_count), true);
    print_text("", true);
    wait_for_key();
    end_program(0);
}

// The launch script is written under the working folder's lock, after the
// temporaries an interrupted run left there are gone; without the lock it is
// written all the same, and nothing is removed that another run may be
// writing.
void write_script_locked(GeneratorRun& run) {
    const FolderLock lock = lock_folder(".");
    remove_leftovers(lock, ".");
    write_launch_script(run);
    unlock_folder(lock);
}

void run_generator() {
    platform_lock_console_window();
    GeneratorRun run;
    run_demo_intake(run, program_argument(1));
    // Upper case whatever the case of the demo's extension.
    run.script_name = run.base_name + ".MORV";
    // A launch script dropped on morvmake (x.dmo.MORV, as written for
    // x.dmo.bak) would name itself: writing would replace the input.
    if (upper_ascii(run.script_name) == upper_ascii(run.demo_name)) {
        set_colour(RED);
        abort_run(run.demo_name + " is the demo itself and cannot be its own launch script; " +
                  "nothing was written.");
    }
    print_package_banner(run);
    run_match_setup(run);
    write_script_locked(run);
    run_score_entry(run);
    build_demo_folder(run);
    print_closing_summary(run);
}

} // namespace morv
