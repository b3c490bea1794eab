// Names on Windows. Every text of the programs, names included, is in the
// console's code page, while the A file calls read names in the ANSI code
// page, which differs on most machines (437 against 1252 on a US one). So
// every name reaches a W call through wide_path.
#pragma once

#include <string>

namespace morv {

// The code page the console shows text in; the OEM code page when the
// process has no console.
unsigned console_code_page();

// The name in UTF-16, read in the console's code page. Empty when the name
// holds a NUL byte or a byte sequence the code page does not define, so that
// it names no file at all rather than another one.
std::wstring wide_path(const std::string& path);

} // namespace morv
