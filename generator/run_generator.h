// morvmake's top level: the stages of the dialogue in their fixed order.
#pragma once

#include "generator_run.h"

#include <string>

namespace morv {

// Runs the whole dialogue and ends the process with exit status 0.
[[noreturn]] void run_generator();

// Prints the message as a line in the current colour, waits for a key and
// ends the run with exit status 0.
[[noreturn]] void abort_run(const std::string& message);

void print_package_banner(const GeneratorRun& run);

// Prints the closing summary, waits for a key and ends with exit status 0.
[[noreturn]] void print_closing_summary(GeneratorRun& run);

} // namespace morv
