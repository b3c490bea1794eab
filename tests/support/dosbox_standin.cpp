// Stands in for the emulator in the tests and in scripts/try. Each start
// appends to files in its working folder: "starts.log" gets the moment it
// started, in seconds since the epoch, one a line; "launches.log" its
// arguments, one a line, and a closing "----"; and where the platform has one
// (Windows), "command_lines.log" the raw command line, one a line, written
// last so that a start is complete once its line is there.
#include "dosbox_standin.h"

#include <chrono>
#include <string>

namespace {

std::string seconds_since_epoch(std::chrono::system_clock::time_point moment) {
    const long long nanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(moment.time_since_epoch()).count();
    const std::string fraction = std::to_string(nanoseconds % 1000000000LL);
    return std::to_string(nanoseconds / 1000000000LL) + "." +
           std::string(9 - fraction.size(), '0') + fraction;
}

} // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::system_clock::now();
    std::string arguments;
    for (int k = 1; k < argc; ++k) {
        arguments += std::string(argv[k]) + "\n";
    }
    int failed = morv_test::append_record("starts.log", seconds_since_epoch(started) + "\n");
    failed += morv_test::append_record("launches.log", arguments + "----\n");
    const std::string line = morv_test::raw_command_line();
    if (!line.empty()) {
        failed += morv_test::append_record("command_lines.log", line + "\n");
    }
    return failed;
}
