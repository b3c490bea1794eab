// morvplay: plays a launch script, one emulator per player.
#include "console.h"
#include "launcher_run.h"
#include "program_main.h"
#include "standard_options.h"

namespace {

constexpr char USAGE[] =
    "Usage: morvplay SCRIPT\n"
    "       morvplay --help | -h | --version\n"
    "\n"
    "Plays a demo from the launch script SCRIPT (.MORV) that morvmake wrote:\n"
    "sets the player count in the game's COMMIT.DAT, then starts one DOSBox\n"
    "(dosbox.exe) per player, 3000 ms apart.\n"
    "\n"
    "Run it in the game's folder, the one that holds the game, its COMMIT.DAT,\n"
    "the demos and DOSBox. At a terminal it waits for a key before it ends.\n";

} // namespace

int program_main(int argc, char** argv) {
    morv::start_console(argc, argv);
    morv::answer_standard_option("morvplay", USAGE);
    morv::run_launcher();
}
