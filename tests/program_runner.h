// Runs a built program the way a user would, in a folder of its own, with
// chosen standard input, and captures what it prints.
#pragma once

#include "scratch_folder.h"

#include <filesystem>
#include <string>
#include <vector>

namespace morv_test {

struct ProgramRun {
    std::string output;   // standard output, byte for byte
    std::string errors;   // standard error
    int exit_status = -1; // -1 when it did not end normally
    bool timed_out = false;
    double seconds = 0.0;
};

// Starts arguments[0] with the rest as its arguments, in folder, feeding
// input on standard input and closing it. Programs built for Windows are run
// through the emulator named in MORV_TEST_EMULATOR (set by the build).
ProgramRun run_program(const std::vector<std::string>& arguments, const std::string& input,
                       const std::filesystem::path& folder, double timeout_seconds = 30.0);

// The command that starts arguments: a built Windows program goes through
// the emulator named in MORV_TEST_EMULATOR, anything else runs as it is.
std::vector<std::string> with_emulator(const std::vector<std::string>& arguments);

// The path of a built program: "morvmake" or "morvplay".
std::string built_program(const std::string& name);

} // namespace morv_test
