// morvplay: plays a launch script, one emulator per player.
#include "console.h"
#include "launcher_run.h"

int main(int argc, char** argv) {
    morv::start_console(argc, argv);
    morv::run_launcher();
}
