// The stand-in emulator's platform part on POSIX systems.
#include "dosbox_standin.h"

#include <fcntl.h>
#include <unistd.h>

namespace morv_test {

int append_record(const char* path, const std::string& record) {
    const int file = open(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (file < 0) {
        return 1;
    }
    const ssize_t written = write(file, record.data(), record.size());
    const int closed = close(file);
    return written == static_cast<ssize_t>(record.size()) && closed == 0 ? 0 : 1;
}

// A POSIX process receives its arguments already split.
std::string raw_command_line() {
    return {};
}

} // namespace morv_test
