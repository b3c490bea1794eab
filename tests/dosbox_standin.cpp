// Stands in for the emulator in the Windows runs of the launcher's tests. Each
// start appends to two files in its working folder: "launches.log" gets its
// arguments as its C runtime split them, one a line, and a closing "----" (the
// same record as the POSIX stand-in writes); "command_lines.log" gets the raw
// command line it was started with, one a line.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace {

// One write per record, so records of instances started close together
// never mix.
int append_record(const char* path, const std::string& record) {
    const HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    DWORD written = 0;
    const BOOL done =
        WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return done && written == record.size() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string arguments;
    for (int k = 1; k < argc; ++k) {
        arguments += std::string(argv[k]) + "\n";
    }
    const int failed_arguments = append_record("launches.log", arguments + "----\n");
    const int failed_line =
        append_record("command_lines.log", std::string(GetCommandLineA()) + "\n");
    return failed_arguments + failed_line;
}
