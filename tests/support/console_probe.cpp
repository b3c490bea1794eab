// A tiny program that drives the console the way morvmake and morvplay do, so
// the terminal tests can watch a real terminal through it. Each command-line
// argument names one step; the steps run in order, then "bye" ends the run:
//
//   line     prompt_line("Name: ")          then the answer as "[answer]"
//   field    prompt_field("Field: ")        then "[field]"
//   integer  prompt_integer("Number: ")     then "[number]"
//   colours  "green line", "red line", "white line" in colours 2, 4, 15
//   key      "Press a key", then wait_for_key
//   busy     "Busy", 1.5 s without reading the keyboard, then "Ready"
//   pause    "Pausing", pause_ms(3000), then "Paused"
//   rows     "row 1" to "row 22": on a terminal of 24 rows the next prompt
//            stands on the last-but-one row, so a long answer scrolls
#include "console.h"
#include "platform_console.h"
#include "text.h"

#include <string>

namespace morv {
namespace {

constexpr int BUSY_MS = 1500;
constexpr int PAUSE_MS = 3000;
constexpr int FILLER_ROWS = 22;

void show_answer(const std::string& answer) {
    print_text("[" + answer + "]", true);
}

void show_colours() {
    set_colour(GREEN);
    print_text("green line", true);
    set_colour(RED);
    print_text("red line", true);
    set_colour(BRIGHT_WHITE);
    print_text("white line", true);
}

// Runs one step; nonzero when the step is unknown.
int run_step(const std::string& step) {
    if (step == "line") {
        show_answer(prompt_line("Name: "));
    } else if (step == "field") {
        show_answer(prompt_field("Field: "));
    } else if (step == "integer") {
        show_answer(int_to_text(prompt_integer("Number: ")));
    } else if (step == "colours") {
        show_colours();
    } else if (step == "key") {
        print_text("Press a key", true);
        wait_for_key();
    } else if (step == "busy") {
        print_text("Busy", true);
        platform_sleep_ms(BUSY_MS);
        print_text("Ready", true);
    } else if (step == "pause") {
        print_text("Pausing", true);
        pause_ms(PAUSE_MS);
        print_text("Paused", true);
    } else if (step == "rows") {
        for (int row = 1; row <= FILLER_ROWS; ++row) {
            print_text("row " + int_to_text(row), true);
        }
    } else {
        print_text("unknown step: " + step, true);
        return 1;
    }
    return 0;
}

} // namespace
} // namespace morv

int main(int argc, char** argv) {
    morv::start_console(argc, argv);
    for (int n = 1; !morv::program_argument(n).empty(); ++n) {
        if (morv::run_step(morv::program_argument(n)) != 0) {
            morv::end_program(2);
        }
    }
    morv::print_text("bye", true);
    morv::end_program(0);
}
