// Files and folder locks: the part of the operating-system seam that reaches
// the file system, implemented once per platform (platform_posix_files.cpp and
// platform_posix_lock.cpp, platform_win32_files.cpp and platform_win32_lock.cpp).
// Paths are byte strings in the console's 8-bit code page and may use "\" as
// a folder separator on every platform. A path holding a NUL byte is refused
// by every call, as a name the file system cannot hold.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// ---- Files -------------------------------------------------------------------------

using FileHandle = std::intptr_t;
inline constexpr FileHandle NO_FILE = -1;

// Binary streams. Only a regular file opens for reading: a folder, device,
// pipe or socket is refused at once, never waited on.
FileHandle platform_open_for_reading(const std::string& path);

// Removes whatever stands under the name (a file, a link) and creates a new
// empty file there that no other name shares; never writes through a link or
// into an existing file. NO_FILE when the old entry cannot be removed. On
// POSIX the file is private to its owner (mode 0600) from its creation on, as
// a copy of a private file must be; platform_replace_file gives it its
// target's permissions.
FileHandle platform_create_new_file(const std::string& path);

// Creates a new empty file with a unique name in target's folder, to be put
// in target's place by platform_replace_file; temporary receives its path.
// Private to its owner (mode 0600 on POSIX) until then.
FileHandle platform_create_temporary_beside(const std::string& target, std::string& temporary);

// Ends the file after its first size bytes and writes on from there: 0 on
// success.
int platform_truncate_file(FileHandle file, std::int64_t size);

// Returns the number of bytes read (0 at the end of the file), -1 on an error.
std::int64_t platform_read_file(FileHandle file, char* buffer, std::int64_t size);

// Writes all the bytes; returns 0 on success, nonzero when not all could be written.
int platform_write_file(FileHandle file, const char* bytes, std::int64_t size);

// Returns 0 when the file was closed without error.
int platform_close_file(FileHandle file);

enum PathKind { PATH_MISSING = 0, PATH_FILE = 1, PATH_OTHER = 2 };
PathKind platform_path_kind(const std::string& path);

// Copies a file through a temporary beside the target, which then replaces
// an existing target in one step (a read-only one too), so that the target
// never holds a part of the copy; keeps the source's modification time (on
// Windows not its read-only mark). 0 on success; on failure nonzero and the
// target untouched.
// On POSIX the copy is private to its owner until it is complete and takes
// the source's mode bits only then.
int platform_copy_file(const std::string& source, const std::string& target);

// Creates one folder level: 0 on success, -1 on failure.
int platform_make_folder(const std::string& path);

// Deletes a file: 0 on success, nonzero on failure.
int platform_remove_file(const std::string& path);

// Renames a regular file, never replacing an existing one: 0 on success.
int platform_rename_no_replace(const std::string& old_path, const std::string& new_path);

// Puts old_path in the place of new_path in one step, replacing it: 0 on
// success. old_path's data reach the disk before the replacement, and the
// replacement itself before the call returns, so a crash leaves the old or
// the new complete file. A new_path marked read-only (on POSIX: no write
// permission for anyone) is not replaced, whoever runs the program. The new
// file keeps the replaced one's permissions: its mode bits, and its owner and
// group where the process may set them, on POSIX; its attributes and security
// descriptor on Windows. Where no file stood under new_path, a POSIX file
// gets the mode any new file of the user gets (0666 less the umask).
int platform_replace_file(const std::string& old_path, const std::string& new_path);

// Day, month and year of the file's last modification in local time; 0 on
// success, nonzero when the file's status or its time cannot be read.
int platform_file_local_date(const std::string& path, int& day, int& month, int& year);

// The full path of the working folder in the platform's own form (C:\\... on
// Windows); empty when it cannot be told.
std::string platform_working_folder();

// Removes the temporaries an interrupted copy or replacement left in the
// folder: the entries whose name has exactly the form that
// platform_create_temporary_beside gives. A link among them is removed
// itself, never what it points at; a folder stays. 0 when the folder could
// be read, nonzero when not. Meant for a folder no other run writes in, as
// under its lock.
int platform_remove_temporaries(const std::string& folder);

// ---- The programs' arguments -------------------------------------------------

// False when the n-th argument names its file by characters the console's
// code page lacks, which platform_argument shows as "?" (on Windows; a POSIX
// argument is the name's own bytes and always fits).
bool platform_argument_fits(int n);

// Renames the file that the n-th argument names to new_path, never replacing
// an existing file: 0 on success. argument is the n-th argument as
// platform_argument gives it; where it does not fit, the file is renamed from
// its real name instead.
int platform_rename_argument(int n, const std::string& argument, const std::string& new_path);

// ---- Locks ------------------------------------------------------------------------

using FolderLock = std::intptr_t;
// The lock was not taken: another holder kept it for the whole wait, or there
// is no such folder.
inline constexpr FolderLock NO_FOLDER_LOCK = -1;
// The folder keeps no lock for this process (its file system has none, or it
// cannot be opened for one): nothing is held, and the caller goes on alone.
inline constexpr FolderLock FOLDER_WITHOUT_LOCKS = -2;

// The longest wait for a lock that another holder keeps. Any process that can
// read the folder can hold a lock on it, and a holder may be stopped; past
// this the caller is told rather than left waiting.
inline constexpr int FOLDER_LOCK_WAIT_MS = 5000;

// Waits at most FOLDER_LOCK_WAIT_MS for an exclusive lock on a folder, among
// the processes that lock the same folder, and takes it. It leaves no file
// behind and does not move when files in the folder are renamed.
FolderLock platform_lock_folder(const std::string& folder);

// Gives the lock back; NO_FOLDER_LOCK and FOLDER_WITHOUT_LOCKS are ignored.
void platform_unlock_folder(FolderLock lock);

} // namespace morv
