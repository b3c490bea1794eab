// Starting a program from a command line on Windows: the system takes the
// program from the line's first word, searches for it by its own rules, and
// the program's C runtime splits the rest into its arguments.
#include <windows.h>

#include "nul_byte.h"
#include "platform_process.h"

#include <string>

namespace morv {

int platform_start_process(const std::string& command_line) {
    if (holds_nul_byte(command_line)) {
        return ERROR_INVALID_PARAMETER;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the line, so it gets a copy of its own.
    std::string line = command_line;
    // No inherited handles, the launcher's environment and working folder;
    // the launcher never waits, so no handle is kept.
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        const DWORD error = GetLastError();
        return error != 0 ? static_cast<int>(error) : -1;
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return 0;
}

} // namespace morv
