// The folder lock on POSIX systems: flock on the folder itself, opened for
// reading. A lock on a file in it would move with a rename or stay behind as
// a file of its own; the folder does neither, and the system gives the lock
// back when its holder ends in any way. flock has no time limit of its own,
// so a lock that is not free is tried again until the wait is over.
#include "nul_byte.h"
#include "platform_files.h"
#include "platform_posix_path.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace morv {
namespace {

constexpr long RETRY_PAUSE_MS = 25;

long milliseconds_now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

void pause_briefly() {
    const timespec pause{0, RETRY_PAUSE_MS * 1000000};
    nanosleep(&pause, nullptr);
}

// 0 once the lock is taken; EWOULDBLOCK when another holder kept it for the
// whole wait; any other errno when the file system keeps no such lock.
int take_within_wait(int file) {
    const long deadline = milliseconds_now() + FOLDER_LOCK_WAIT_MS;
    for (;;) {
        if (flock(file, LOCK_EX | LOCK_NB) == 0) {
            return 0;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EWOULDBLOCK || milliseconds_now() >= deadline) {
            return errno;
        }
        pause_briefly();
    }
}

} // namespace

FolderLock platform_lock_folder(const std::string& folder) {
    if (holds_nul_byte(folder)) {
        return NO_FOLDER_LOCK;
    }
    const int file = open(native_path(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (file < 0) {
        // A folder that exists but may not be read is one without locks.
        return errno == EACCES ? FOLDER_WITHOUT_LOCKS : NO_FOLDER_LOCK;
    }
    const int error = take_within_wait(file);
    if (error != 0) {
        close(file);
        return error == EWOULDBLOCK ? NO_FOLDER_LOCK : FOLDER_WITHOUT_LOCKS;
    }
    return file;
}

void platform_unlock_folder(FolderLock lock) {
    if (lock >= 0) {
        close(static_cast<int>(lock));
    }
}

} // namespace morv
