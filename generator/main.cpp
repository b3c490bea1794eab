// morvmake: turns a multiplayer demo into a launch script and a demo folder.
#include "console.h"
#include "program_main.h"
#include "run_generator.h"
#include "standard_options.h"

namespace {

constexpr char USAGE[] =
    "Usage: morvmake [DEMO]\n"
    "       morvmake --help | -h | --version\n"
    "\n"
    "Asks about a multiplayer demo (players, map or level, each player's name\n"
    "and colour, the kills), writes a launch script DEMO.MORV for morvplay and\n"
    "gathers the demo, the launch script and the map into a demo folder named\n"
    "after the match.\n"
    "\n"
    "DEMO is the demo file (.DMO); without it, morvmake asks for its name.\n"
    "Run it in the game's folder, the one that holds the game, its COMMIT.DAT,\n"
    "the maps, the demos and DOSBox. At a terminal it waits for a key before it\n"
    "ends.\n";

} // namespace

int program_main(int argc, char** argv) {
    morv::start_console(argc, argv);
    morv::answer_standard_option("morvmake", USAGE);
    morv::run_generator();
}
