// The one seam between the programs and the operating system. Every call that
// differs between Windows and POSIX is declared here as a free function and
// implemented once per platform (platform_posix_*.cpp, platform_win32_*.cpp).
// Texts are byte strings in the console's 8-bit code page; paths may use "\"
// as a folder separator on every platform. A path or command line holding a
// NUL byte is refused by every call, as a name the file system cannot hold.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// ---- Start and end of the process -------------------------------------------

// Records the arguments and prepares the console: on a terminal, raw input for
// the whole run, restored on every way out (normal end, Ctrl+C, termination).
void platform_start(int argc, char** argv);

// Restores the console and ends the process with the status.
[[noreturn]] void platform_exit(int status);

// The n-th argument after the program's own name; empty when there is none.
std::string platform_argument(int n);

// ---- Console ------------------------------------------------------------------

bool platform_input_is_terminal();
bool platform_output_is_terminal();

// Writes the bytes to standard output, all of them.
void platform_write_console(const std::string& bytes);

// Reads console input bytes into buffer. A terminal delivers its keys as the
// byte sequences an xterm sends (Windows key events are translated into them).
// timeout_ms < 0 blocks until input comes. Returns the number of bytes read,
// 0 when nothing came within the timeout, -1 when the input has ended.
int platform_read_console(char* buffer, int size, int timeout_ms);

// The line end of text meant for other programs (help and version texts):
// LF on POSIX, CR LF on Windows.
const char* platform_text_line_end();

// Width of the terminal in columns (80 when it cannot be told).
int platform_console_columns();

// Rows of the terminal's screen, above which text scrolls out of reach of
// the cursor; 0 when it cannot be told or nothing is out of reach.
int platform_console_rows();

// True when the terminal shows text as UTF-8, where one character may take
// several bytes; false for an 8-bit code page.
bool platform_console_is_utf8();

// False for a terminal that takes no control sequences (TERM is dumb or
// unset): the typed line then only grows and shrinks at its end.
bool platform_console_moves_cursor();

// What the terminal went through that asks for the typed line to be drawn
// again: a new width, or a suspension (Ctrl+Z) that the shell has ended.
enum ConsoleChange { CONSOLE_UNCHANGED = 0, CONSOLE_RESIZED = 1, CONSOLE_CONTINUED = 2 };

// The change since the last call, which it forgets; a continuation outranks
// a resize. A read of platform_read_console returns 0 at once when one comes.
ConsoleChange platform_console_change();

// Sets the text colour: attribute bits 1 blue, 2 green, 4 red, 8 bright, on a
// black background. Does nothing when standard output is not a terminal, when
// the terminal takes no control sequences, or when the user asked for no
// colour (NO_COLOR set and not empty).
void platform_set_text_attribute(int attribute);

// Fixes the console window's frame so it cannot be resized or maximised.
void platform_lock_console_window();

// ---- Time ----------------------------------------------------------------------

// A monotonic high-resolution clock in seconds.
double platform_clock_seconds();

void platform_sleep_ms(int ms);

// ---- Files -------------------------------------------------------------------------

using FileHandle = std::intptr_t;
inline constexpr FileHandle NO_FILE = -1;

// Binary streams. Only a regular file opens for reading: a folder, device,
// pipe or socket is refused at once, never waited on. Opening for writing
// creates the file or empties it.
FileHandle platform_open_for_reading(const std::string& path);
FileHandle platform_open_for_writing(const std::string& path);

// Removes whatever stands under the name (a file, a link) and creates a new
// empty file there that no other name shares; never writes through a link or
// into an existing file. NO_FILE when the old entry cannot be removed.
FileHandle platform_create_new_file(const std::string& path);

// Creates a new empty file with a unique name in target's folder, to be put
// in target's place by platform_replace_file; temporary receives its path.
FileHandle platform_create_temporary_beside(const std::string& target, std::string& temporary);

// Ends the file after its first size bytes and writes on from there: 0 on
// success.
int platform_cut_file(FileHandle file, std::int64_t size);

// Returns the number of bytes read (0 at the end of the file), -1 on an error.
std::int64_t platform_read_file(FileHandle file, char* buffer, std::int64_t size);

// Writes all the bytes; returns 0 on success, nonzero when not all could be written.
int platform_write_file(FileHandle file, const char* bytes, std::int64_t size);

// Returns 0 when the file was closed without error.
int platform_close_file(FileHandle file);

enum PathKind { PATH_MISSING = 0, PATH_FILE = 1, PATH_OTHER = 2 };
PathKind platform_path_kind(const std::string& path);

// Copies a file, replacing an existing target and keeping the source's
// modification time. 0 on success; on failure nonzero and the target untouched.
int platform_copy_file(const std::string& source, const std::string& target);

// Creates one folder level: 0 on success, -1 on failure.
int platform_make_folder(const std::string& path);

// Deletes a file: 0 on success, nonzero on failure.
int platform_remove_file(const std::string& path);

// Renames a regular file, never replacing an existing one: 0 on success.
int platform_rename_no_replace(const std::string& old_path, const std::string& new_path);

// Puts old_path in the place of new_path in one step, replacing it: 0 on
// success. old_path's data reach the disk before the replacement, and the
// replacement itself before the call returns, so a crash leaves the old or
// the new complete file. A new_path marked read-only (on POSIX: no write
// permission for anyone) is not replaced, whoever runs the program. The new
// file keeps the replaced one's permissions: its mode bits, and its owner and
// group where the process may set them, on POSIX; its attributes and security
// descriptor on Windows.
int platform_replace_file(const std::string& old_path, const std::string& new_path);

// Day, month and year of the file's last modification in local time; 0 on
// success, nonzero when the file's status or its time cannot be read.
int platform_file_local_date(const std::string& path, int& day, int& month, int& year);

// ---- Locks ------------------------------------------------------------------------

using FolderLock = std::intptr_t;
inline constexpr FolderLock NO_FOLDER_LOCK = -1;

// Waits for and takes an exclusive lock on a folder, among the processes that
// lock the same folder. It leaves no file behind and does not move when files
// in the folder are renamed. NO_FOLDER_LOCK when it cannot be taken.
FolderLock platform_lock_folder(const std::string& folder);

// Gives the lock back; NO_FOLDER_LOCK is ignored.
void platform_unlock_folder(FolderLock lock);

// ---- Processes ---------------------------------------------------------------------

// Starts a program from a Windows-style command line (its first word names the
// program) without waiting for it; the child gets this process's environment
// and working folder. 0 when the process started, nonzero when it could not.
int platform_start_process(const std::string& command_line);

} // namespace morv
