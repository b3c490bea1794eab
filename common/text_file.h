// Numbered text files: line-by-line reading in text mode and writing with
// CR LF line ends, over a table of 255 file numbers that belongs to the process.
#pragma once

#include <string>

namespace morv {

inline constexpr int FILE_NUMBER_COUNT = 255;
inline constexpr std::size_t WRITE_BUFFER_SIZE = 8192;

enum FileMode { FILE_READING, FILE_WRITING };

// The lowest free number 1..255; 0 when all are open.
int first_free_file_number();

// 0 on success; 1 when the number is outside 1..255 or already open; 2 when
// the file cannot be opened. On failure the number stays free.
int open_text_file(const std::string& path, FileMode mode, int number);

// Appends the text and CR LF. 0 on success; nonzero when the number is not
// open for writing or a write to the disk has failed (the failure sticks).
int write_text_line(int number, const std::string& text);

// The next line without its line end (CR LF or LF); a number that is not open
// for reading leaves line as it was.
void read_text_line(int number, std::string& line);

// True when no further byte can be read; true for a number that is not open.
bool at_end(int number);

// True when a read or write on the number has failed since it was opened.
bool text_file_failed(int number);

// Writes out the buffer, closes the stream and frees the number. 0 when every
// byte reached the file and the close succeeded; nothing happens (result 0) on
// a number that is not open.
int close_text_file(int number);

// Closes every open number, as at the end of the program.
void close_all_text_files();

} // namespace morv
