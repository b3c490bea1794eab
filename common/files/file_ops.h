// Whole-file operations: copy, folders, dates, removal and renaming.
// None of them prints or stops the program; the caller decides.
#pragma once

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

// 0 on success, nonzero on failure.
int remove(const std::string& path);

// 0 on success; never replaces an existing file of the new name.
int rename(const std::string& old_path, const std::string& new_path);

} // namespace morv
