// Whole-file operations over the platform seam, with the results the
// programs expect from them.
#include "file_ops.h"

#include "platform_files.h"

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

int remove(const std::string& path) {
    return platform_remove_file(path);
}

int rename(const std::string& old_path, const std::string& new_path) {
    return platform_rename_no_replace(old_path, new_path);
}

} // namespace morv
