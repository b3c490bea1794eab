// Whole-file operations over the platform seam, with the results the
// programs expect from them.
#include "file_ops.h"

namespace morv {

namespace {

// Day 0 of the date serial, given when a file's date cannot be read.
constexpr FileDate NO_DATE = {30, 12, 1899};

} // namespace

int copy_file(const std::string& source, const std::string& target) {
    return platform_copy_file(source, target) == 0 ? 0 : 1;
}

int make_folder(const std::string& path) {
    return platform_make_folder(path) == 0 ? 0 : -1;
}

FileDate file_date(const std::string& path) {
    FileDate date{};
    if (platform_file_local_date(path, date.day, date.month, date.year) != 0) {
        return NO_DATE;
    }
    return date;
}

int rename_file(const std::string& old_path, const std::string& new_path) {
    return platform_rename_no_replace(old_path, new_path);
}

std::string working_folder() {
    return platform_working_folder();
}

PathKind path_kind(const std::string& path) {
    return platform_path_kind(path);
}

int remove_file(const std::string& path) {
    return platform_remove_file(path);
}

int replace_file(const std::string& new_file, const std::string& target) {
    return platform_replace_file(new_file, target);
}

FolderLock lock_folder(const std::string& folder) {
    return platform_lock_folder(folder);
}

void unlock_folder(FolderLock lock) {
    platform_unlock_folder(lock);
}

void remove_leftovers(FolderLock lock, const std::string& folder) {
    if (lock != NO_FOLDER_LOCK && lock != FOLDER_WITHOUT_LOCKS) {
        platform_remove_temporaries(folder);
    }
}

} // namespace morv
