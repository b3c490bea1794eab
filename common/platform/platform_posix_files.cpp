// Files on POSIX systems. Paths arrive in the players' Windows habit, so "\"
// is turned into "/" before every call; descriptors are opened close-on-exec
// so the emulator processes started later inherit none of them.
#include "nul_byte.h"
#include "platform_files.h"
#include "platform_posix_path.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace morv {

namespace {

constexpr std::int64_t COPY_CHUNK_SIZE = 65536;

int descriptor(FileHandle file) {
    return static_cast<int>(file);
}

// The folder part of a path with its final "/", or empty for the working folder.
std::string folder_part(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Every file the programs make is private while it is written: it may be the
// copy of a private file, whose mode it takes only when complete.
constexpr mode_t PRIVATE_MODE = 0600;

// A new empty file beside the target, to be renamed over it once complete;
// mkostemp makes it private.
int make_temporary_beside(const std::string& target, std::string& temporary) {
    temporary = folder_part(target) + ".morv-copy-XXXXXX";
    return mkostemp(temporary.data(), O_CLOEXEC);
}

// A signal may interrupt an open that waits on a slow file system.
int open_retrying(const char* path, int flags, mode_t mode) {
    for (;;) {
        const int file = open(path, flags | O_CLOEXEC, mode);
        if (file >= 0 || errno != EINTR) {
            return file;
        }
    }
}

// The mode any new file of this user gets.
int give_usual_mode(int file) {
    const mode_t mask = umask(0);
    umask(mask);
    return fchmod(file, 0666 & ~mask);
}

int copy_contents(int from, int to) {
    char buffer[COPY_CHUNK_SIZE];
    for (;;) {
        const std::int64_t count = platform_read_file(from, buffer, COPY_CHUNK_SIZE);
        if (count <= 0) {
            return count == 0 ? 0 : -1;
        }
        if (platform_write_file(to, buffer, count) != 0) {
            return -1;
        }
    }
}

// Gives the copy the source's permission bits and times, as a Windows copy does.
int copy_attributes(int to, const struct stat& source) {
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    if (fchmod(to, source.st_mode & 0777) != 0) {
        return -1;
    }
    return futimens(to, times);
}

// Writes the complete copy into the temporary file, which is closed afterwards.
int fill_temporary(int source, int temporary) {
    struct stat status {};
    int result = fstat(source, &status);
    if (result == 0) {
        result = copy_contents(source, temporary);
    }
    if (result == 0) {
        result = copy_attributes(temporary, status);
    }
    if (platform_close_file(temporary) != 0) {
        result = -1;
    }
    return result;
}

// Moves the new name onto the file by a second link, for file systems that
// cannot rename without replacing.
int link_then_unlink(const char* old_path, const char* new_path) {
    if (link(old_path, new_path) != 0) {
        return -1;
    }
    if (unlink(old_path) != 0) {
        unlink(new_path);
        return -1;
    }
    return 0;
}

// Moves a file onto another file system as a Windows move does: a complete
// copy appears under the new name, only where no file of that name exists
// (the link fails then), before the old name goes.
int move_across_file_systems(const std::string& old_path, const std::string& new_path) {
    const FileHandle source = platform_open_for_reading(old_path);
    if (source == NO_FILE) {
        return -1;
    }
    std::string temporary;
    const int copy = make_temporary_beside(new_path, temporary);
    int result = copy < 0 ? -1 : fill_temporary(descriptor(source), copy);
    platform_close_file(source);
    if (result == 0) {
        result = link(temporary.c_str(), new_path.c_str());
    }
    if (copy >= 0) {
        unlink(temporary.c_str());
    }
    if (result == 0 && unlink(old_path.c_str()) != 0) {
        unlink(new_path.c_str());
        result = -1;
    }
    return result == 0 ? 0 : -1;
}

// Windows refuses to replace a read-only file, also for an administrator.
// rename() ignores the target's own mode, and root ignores every mode, so the
// mode bits themselves are looked at: no write permission for anyone is
// read-only.
bool is_read_only(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && (status.st_mode & 0222) == 0;
}

// Brings what was written to the folder to the disk.
int flush_folder(const char* path) {
    const int folder = open_retrying(path, O_RDONLY | O_DIRECTORY, 0);
    if (folder < 0) {
        return -1;
    }
    const int result = fsync(folder);
    close(folder);
    return result == 0 ? 0 : -1;
}

// The new file takes the old one's owner, group and mode bits, so that a
// replacement never leaves the file more open than it was. Who may not give
// a file away keeps it, with the old group where that is one of theirs.
// Where no old file stands, the new one is opened up as any new file.
int keep_permissions(int file, const char* old_file) {
    struct stat status {};
    if (stat(old_file, &status) != 0) {
        return errno == ENOENT ? give_usual_mode(file) : -1;
    }
    mode_t mode = status.st_mode & 0777;
    if (fchown(file, status.st_uid, status.st_gid) != 0 &&
        fchown(file, static_cast<uid_t>(-1), status.st_gid) != 0) {
        // The process's own group stays, without the rights of the old
        // group, which it never had.
        mode &= ~static_cast<mode_t>(070);
    }
    return fchmod(file, mode);
}

// Gives the new file the old one's permissions, then brings its data to the
// disk, so that a crash after the rename cannot leave the new name on an
// empty or short file.
int prepare_replacement(const char* new_file, const char* old_file) {
    // Reading is enough to change the permissions and to flush, also under a
    // umask that leaves the owner no write permission.
    const int file = open_retrying(new_file, O_RDONLY | O_NOFOLLOW, 0);
    if (file < 0) {
        return -1;
    }
    // Only the file this process made: a link put in its place meanwhile
    // would hand another file the old one's owner.
    struct stat status {};
    int result =
        fstat(file, &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1 ? 0 : -1;
    if (result == 0) {
        result = keep_permissions(file, old_file);
    }
    if (result == 0) {
        result = fsync(file);
    }
    close(file);
    return result == 0 ? 0 : -1;
}

#ifdef RENAME_NOREPLACE
// Errors by which a file system refuses the no-replace flag itself.
bool no_replace_unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}
#endif

} // namespace

FileHandle platform_open_for_reading(const std::string& path) {
    if (holds_nul_byte(path)) {
        return NO_FILE;
    }
    // Not blocking, so that a FIFO opens at once and is then refused.
    const int file = open_retrying(dos_native_path(path).c_str(), O_RDONLY | O_NONBLOCK, 0);
    if (file < 0) {
        return NO_FILE;
    }
    // The opened file itself is looked at, not the name before: a folder,
    // FIFO, device or socket would block, never end or not read at all.
    struct stat status {};
    if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return NO_FILE;
    }
    return file;
}

FileHandle platform_create_new_file(const std::string& path) {
    if (holds_nul_byte(path)) {
        return NO_FILE;
    }
    // A name made new keeps the case the programs give it.
    const std::string native = native_path(path);
    // Once more when another process put the name back in between.
    for (int tries = 0; tries < 2; ++tries) {
        if (unlink(native.c_str()) != 0 && errno != ENOENT) {
            return NO_FILE;
        }
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW;
        const int file = open_retrying(native.c_str(), flags, PRIVATE_MODE);
        if (file >= 0) {
            return file;
        }
        if (errno != EEXIST) {
            return NO_FILE;
        }
    }
    return NO_FILE;
}

FileHandle platform_create_temporary_beside(const std::string& target, std::string& temporary) {
    if (holds_nul_byte(target)) {
        return NO_FILE;
    }
    const int file = make_temporary_beside(dos_native_path(target), temporary);
    return file < 0 ? NO_FILE : file;
}

int platform_truncate_file(FileHandle file, std::int64_t size) {
    if (ftruncate(descriptor(file), static_cast<off_t>(size)) != 0 ||
        lseek(descriptor(file), static_cast<off_t>(size), SEEK_SET) < 0) {
        return -1;
    }
    return 0;
}

std::int64_t platform_read_file(FileHandle file, char* buffer, std::int64_t size) {
    if (size <= 0) {
        return 0;
    }
    const auto wanted = static_cast<std::size_t>(size < SSIZE_MAX ? size : SSIZE_MAX);
    for (;;) {
        const ssize_t count = read(descriptor(file), buffer, wanted);
        if (count >= 0 || errno != EINTR) {
            return count;
        }
    }
}

int platform_write_file(FileHandle file, const char* bytes, std::int64_t size) {
    while (size > 0) {
        const auto wanted = static_cast<std::size_t>(size < SSIZE_MAX ? size : SSIZE_MAX);
        const ssize_t count = write(descriptor(file), bytes, wanted);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return -1;
        }
        bytes += count;
        size -= count;
    }
    return 0;
}

int platform_close_file(FileHandle file) {
    return close(descriptor(file)) == 0 ? 0 : -1;
}

PathKind platform_path_kind(const std::string& path) {
    if (holds_nul_byte(path)) {
        return PATH_MISSING;
    }
    const std::string native = dos_native_path(path);
    struct stat status {};
    if (stat(native.c_str(), &status) == 0) {
        return S_ISREG(status.st_mode) ? PATH_FILE : PATH_OTHER;
    }
    if (errno != ENOENT && errno != ENOTDIR && errno != ENAMETOOLONG) {
        return PATH_OTHER;
    }
    // A link that points nowhere still occupies its name.
    return lstat(native.c_str(), &status) == 0 ? PATH_OTHER : PATH_MISSING;
}

int platform_copy_file(const std::string& source, const std::string& target) {
    if (holds_nul_byte(source) || holds_nul_byte(target)) {
        return 1;
    }
    const FileHandle from = platform_open_for_reading(source);
    if (from == NO_FILE) {
        return 1;
    }
    const std::string native_target = dos_native_path(target);
    std::string temporary;
    const int to = make_temporary_beside(native_target, temporary);
    int result = to < 0 ? -1 : fill_temporary(descriptor(from), to);
    platform_close_file(from);
    if (result == 0) {
        result = ::rename(temporary.c_str(), native_target.c_str());
    }
    if (result != 0 && to >= 0) {
        unlink(temporary.c_str());
    }
    return result == 0 ? 0 : 1;
}

int platform_make_folder(const std::string& path) {
    if (holds_nul_byte(path)) {
        return -1;
    }
    // A folder made new keeps the case the programs give it.
    return mkdir(native_path(path).c_str(), 0777) == 0 ? 0 : -1;
}

int platform_remove_file(const std::string& path) {
    if (holds_nul_byte(path)) {
        return -1;
    }
    return unlink(dos_native_path(path).c_str()) == 0 ? 0 : -1;
}

int platform_rename_no_replace(const std::string& old_path, const std::string& new_path) {
    if (holds_nul_byte(old_path) || holds_nul_byte(new_path)) {
        return -1;
    }
    const std::string from = dos_native_path(old_path);
    const std::string to = dos_native_path(new_path);
    const FileHandle source = platform_open_for_reading(from);
    if (source == NO_FILE) {
        return -1;
    }
    platform_close_file(source);
#ifdef RENAME_NOREPLACE
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno == EXDEV) {
        return move_across_file_systems(from, to);
    }
    if (!no_replace_unsupported(errno)) {
        return -1;
    }
#endif
    if (link_then_unlink(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    return errno == EXDEV ? move_across_file_systems(from, to) : -1;
}

int platform_replace_file(const std::string& old_path, const std::string& new_path) {
    if (holds_nul_byte(old_path) || holds_nul_byte(new_path)) {
        return -1;
    }
    const std::string from = dos_native_path(old_path);
    const std::string to = dos_native_path(new_path);
    if (is_read_only(to) || prepare_replacement(from.c_str(), to.c_str()) != 0 ||
        ::rename(from.c_str(), to.c_str()) != 0) {
        return -1;
    }
    // The rename lives in the folder, which is flushed to keep it. The
    // replacement has happened whatever this gives: a file system that cannot
    // flush a folder keeps the new name by its own schedule.
    const std::string folder = folder_part(to);
    flush_folder(folder.empty() ? "." : folder.c_str());
    return 0;
}

int platform_file_local_date(const std::string& path, int& day, int& month, int& year) {
    if (holds_nul_byte(path)) {
        return -1;
    }
    struct stat status {};
    // Only a file has a date of its own; a FIFO or a device is no demo.
    if (stat(dos_native_path(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return -1;
    }
    const std::time_t modified = status.st_mtime;
    std::tm local{};
    tzset(); // the zone may have changed since the last conversion
    if (localtime_r(&modified, &local) == nullptr) {
        return -1;
    }
    day = local.tm_mday;
    month = local.tm_mon + 1;
    year = local.tm_year + 1900;
    return 0;
}

std::string platform_working_folder() {
    std::string folder(256, '\0');
    while (getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE || folder.size() > (std::size_t{1} << 20)) {
            return "";
        }
        folder.resize(folder.size() * 2);
    }
    folder.resize(std::char_traits<char>::length(folder.c_str()));
    return folder;
}

namespace {

// The names mkostemp gives a temporary beside its target: the prefix and six
// letters or digits.
bool is_temporary_name(const char* name) {
    const std::string text = name;
    constexpr std::size_t PREFIX_LENGTH = 11; // ".morv-copy-"
    if (text.size() != PREFIX_LENGTH + 6 || text.compare(0, PREFIX_LENGTH, ".morv-copy-") != 0) {
        return false;
    }
    for (std::size_t at = PREFIX_LENGTH; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            return false;
        }
    }
    return true;
}

} // namespace

int platform_remove_temporaries(const std::string& folder) {
    if (holds_nul_byte(folder)) {
        return -1;
    }
    const std::string native = dos_native_path(folder);
    DIR* listing = opendir(native.empty() ? "." : native.c_str());
    if (listing == nullptr) {
        return -1;
    }
    // unlinkat never follows a link, and refuses a folder.
    while (const dirent* entry = readdir(listing)) {
        if (is_temporary_name(entry->d_name)) {
            unlinkat(dirfd(listing), entry->d_name, 0);
        }
    }
    closedir(listing);
    return 0;
}

bool platform_argument_fits(int) {
    return true;
}

int platform_rename_argument(int, const std::string& argument, const std::string& new_path) {
    return platform_rename_no_replace(argument, new_path);
}

} // namespace morv
