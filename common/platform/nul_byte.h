// Paths and command lines reach the operating system as C strings, which end
// at the first NUL byte: a text holding one would be cut there and name
// another file, so the platform seam refuses it as a name no file can have.
#pragma once

#include <string>

namespace morv {

inline bool holds_nul_byte(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

} // namespace morv
