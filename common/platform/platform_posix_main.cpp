// The entry of the programs on POSIX: the arguments are already the
// terminal's bytes.
#include "program_main.h"

int main(int argc, char** argv) {
    return program_main(argc, argv);
}
