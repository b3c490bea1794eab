// The folder lock on POSIX systems: flock on the folder itself, opened for
// reading. A lock on a file in it would move with a rename or stay behind as
// a file of its own; the folder does neither, and the system gives the lock
// back when its holder ends in any way.
#include "nul_byte.h"
#include "platform_files.h"
#include "platform_posix_path.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace morv {

FolderLock platform_lock_folder(const std::string& folder) {
    if (holds_nul_byte(folder)) {
        return NO_FOLDER_LOCK;
    }
    const int file = open(native_path(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (file < 0) {
        return NO_FOLDER_LOCK;
    }
    int result = flock(file, LOCK_EX);
    while (result != 0 && errno == EINTR) {
        result = flock(file, LOCK_EX);
    }
    if (result != 0) {
        close(file);
        return NO_FOLDER_LOCK;
    }
    return file;
}

void platform_unlock_folder(FolderLock lock) {
    if (lock != NO_FOLDER_LOCK) {
        close(static_cast<int>(lock));
    }
}

} // namespace morv
