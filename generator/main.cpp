// morvmake: turns a multiplayer demo into a launch script and a demo folder.
#include "console.h"
#include "run_generator.h"

int main(int argc, char** argv) {
    morv::start_console(argc, argv);
    morv::run_generator();
}
