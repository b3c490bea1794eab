// DOS names on POSIX file systems: the game, the players and the emulator
// write DUEL01.DMO and duel01.dmo for the same file.
#include "platform_posix_path.h"

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

namespace morv {

namespace {

char lower_ascii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_without_case(const std::string& name, const char* entry) {
    std::size_t i = 0;
    for (; i < name.size() && entry[i] != '\0'; ++i) {
        if (lower_ascii(name[i]) != lower_ascii(entry[i])) {
            return false;
        }
    }
    return i == name.size() && entry[i] == '\0';
}

// The one entry of folder that matches name without regard to case; empty
// when none or several do.
std::string only_match(const std::string& folder, const std::string& name) {
    DIR* entries = opendir(folder.empty() ? "." : folder.c_str());
    if (entries == nullptr) {
        return std::string();
    }
    std::string found;
    int matches = 0;
    while (const dirent* entry = readdir(entries)) {
        if (same_without_case(name, entry->d_name)) {
            found = entry->d_name;
            ++matches;
        }
    }
    closedir(entries);
    return matches == 1 ? found : std::string();
}

} // namespace

std::string dos_native_path(const std::string& path) {
    const std::string native = native_path(path);
    struct stat status {};
    if (lstat(native.c_str(), &status) == 0 || errno != ENOENT) {
        return native;
    }
    const std::size_t slash = native.rfind('/');
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = native.substr(0, start);
    const std::string name = native.substr(start);
    if (name.empty()) {
        return native;
    }
    const std::string found = only_match(folder, name);
    return found.empty() ? native : folder + found;
}

} // namespace morv
