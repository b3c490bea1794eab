// Runs a built program the way a user would, in a folder of its own, with
// chosen standard input, and captures what it prints.
#pragma once

#include "scratch_folder.h"

#include <filesystem>
#include <functional>
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

// Sees each piece of standard output as it arrives, with the seconds since
// the start, while the program still runs.
using OutputWatcher = std::function<void(const std::string& bytes, double seconds)>;

// Starts arguments[0] with the rest as its arguments, in folder, feeding
// input on standard input and closing it. Programs built for Windows are run
// through the emulator named in MORV_TEST_EMULATOR (set by the build).
ProgramRun run_program(const std::vector<std::string>& arguments, const std::string& input,
                       const std::filesystem::path& folder, double timeout_seconds = 30.0,
                       const OutputWatcher& watch = {});

// The command that starts arguments: a built Windows program goes through
// the emulator named in MORV_TEST_EMULATOR, anything else runs as it is.
std::vector<std::string> with_emulator(const std::vector<std::string>& arguments);

// The path of a built program: "morvmake", "morvplay" or "dosbox" (the
// stand-in emulator).
std::string built_program(const std::string& name);

// Puts the stand-in emulator (tests/support/dosbox_standin.cpp) into folder as
// dosbox.exe, where morvplay looks first: the one named in
// MORV_TEST_STAND_IN, else the one built beside the programs.
void add_stand_in_emulator(const std::filesystem::path& folder);

// Sets PATH while it lives and gives the old one back. Tests of morvplay
// set an empty folder, so that no installed emulator can be found in place
// of a stand-in.
struct PathGuard {
    explicit PathGuard(const std::string& path);
    ~PathGuard();
    PathGuard(const PathGuard&) = delete;
    PathGuard& operator=(const PathGuard&) = delete;
    std::string previous;
    bool was_set = false;
};

} // namespace morv_test
