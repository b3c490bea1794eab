// Starting other programs: the part of the operating-system seam that makes
// processes, implemented once per platform (platform_posix_process.cpp,
// platform_win32_process.cpp). A command line holding a NUL byte is refused.
#pragma once

#include <string>

namespace morv {

// Starts a program from a Windows-style command line (its first word names the
// program) without waiting for it; the child gets this process's environment
// and working folder. 0 when the process started, nonzero when it could not.
int platform_start_process(const std::string& command_line);

} // namespace morv
