// What the stand-in emulator needs of its platform.
#pragma once

#include <string>

namespace morv_test {

// Appends the record to the file in one write, so that records of instances
// started close together never mix. Returns 0 when all of it was written.
int append_record(const char* path, const std::string& record);

// The command line exactly as the process received it; empty where the
// platform hands over only the split arguments.
std::string raw_command_line();

} // namespace morv_test
