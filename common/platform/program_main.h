// The body of each program, called by the platform's own entry
// (platform_posix_main.cpp, platform_win32_main.cpp) with the arguments in
// the console's code page.
#pragma once

int program_main(int argc, char** argv);
