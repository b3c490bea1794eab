// Paths on POSIX systems arrive in the players' Windows habit, with "\" as
// well as "/" between folders.
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

} // namespace morv
