// Paths on POSIX systems arrive in the players' Windows habit, with "\" as
// well as "/" between folders, and DOS names in any case.
#pragma once

#include <string>

namespace morv {

inline std::string native_path(const std::string& path) {
    std::string result = path;
    for (char& c : result) {
        if (c == '\\') {
            c = '/';
        }
    }
    return result;
}

// The native path of a file the programs read, replace or create. A name that
// does not exist as written becomes the one entry of its folder that matches
// it without regard to ASCII case, as on Windows and the emulator's DOS
// drives; with no such entry, or several, it stays as written.
std::string dos_native_path(const std::string& path);

} // namespace morv
