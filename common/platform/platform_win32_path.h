// Names on Windows. Every text of the programs, names included, is in the
// console's code page, while the A file calls and the narrow argv of the C
// runtime use the ANSI code page, which differs on most machines (437
// against 1252 on a US one). So the programs start from the wide arguments
// (platform_win32_main.cpp), and every name reaches a W call through
// wide_path.
#pragma once

#include <string>

namespace morv {

// The code page the console shows text in; the OEM code page when the
// process has no console.
unsigned console_code_page();

// The text in UTF-16, read in the code page. Empty when the text holds a NUL
// byte or a byte sequence the code page does not define, so that it names no
// file at all rather than another one.
std::wstring wide_text(const std::string& text, unsigned code_page);

// wide_text in the console's code page.
std::wstring wide_path(const std::string& path);

// The UTF-16 text in the code page. A character the code page cannot hold
// becomes "?", never a look-alike: "?" is in no file's name.
std::string code_page_text(const std::wstring& text, unsigned code_page);

// The bytes of one character in the code page; empty when the page cannot
// hold it, so that a key typed for it types nothing (not "?", not a
// look-alike).
std::string code_page_character(char32_t character, unsigned code_page);

// Keeps the wide arguments, so that a file named by characters the code page
// lacks can still be reached (platform_rename_argument).
void keep_wide_arguments(int argc, wchar_t** argv);

} // namespace morv
