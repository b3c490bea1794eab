// The stand-in emulator's platform part on Windows.
#include "dosbox_standin.h"

#include <windows.h>

namespace morv_test {

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

std::string raw_command_line() {
    return GetCommandLineA();
}

} // namespace morv_test
