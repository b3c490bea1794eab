// Whole-file operations: copy, folders, dates, renaming, replacing, removal
// and the folder lock, the programs' way to them. None of them prints or
// stops the program; the caller decides.
#pragma once

#include "platform_files.h"

#include <string>

namespace morv {

// 0 on success, 1 on any failure (the target then stays as it was).
int copy_file(const std::string& source, const std::string& target);

// 0 on success, -1 on failure.
int make_folder(const std::string& path);

struct FileDate {
    int day;
    int month;
    int year;
};

// The date of the file's last modification in local time; 30.12.1899 when it
// cannot be read.
FileDate file_date(const std::string& path);

// 0 on success; never replaces an existing file of the new name.
int rename_file(const std::string& old_path, const std::string& new_path);

// What stands under the name: nothing, a regular file, or something else.
PathKind path_kind(const std::string& path);

// 0 on success, nonzero on failure.
int remove_file(const std::string& path);

// Puts new_file in target's place in one durable step, keeping target's
// permissions; a read-only target is kept. 0 on success.
int replace_file(const std::string& new_file, const std::string& target);

// The full path of the working folder as the platform writes it; empty when
// it cannot be told.
std::string working_folder();

// Waits for the one update at a time in the folder, at most
// FOLDER_LOCK_WAIT_MS: NO_FOLDER_LOCK when another holder kept it that long,
// FOLDER_WITHOUT_LOCKS when the file system has no locks. Unlocking either
// does nothing.
FolderLock lock_folder(const std::string& folder);
void unlock_folder(FolderLock lock);

// Removes the temporaries an interrupted run left in the folder, only while
// lock is held: without it they may be another run's copies in progress.
void remove_leftovers(FolderLock lock, const std::string& folder);

} // namespace morv
