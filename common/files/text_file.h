// Numbered text files: line-by-line reading in text mode and writing with
// CR LF line ends, over a table of 255 file numbers that belongs to the process.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

inline constexpr int FILE_NUMBER_COUNT = 255;
inline constexpr std::size_t WRITE_BUFFER_SIZE = 8192;

// Creating first removes whatever stands under the name and makes a new file
// there. Replacing writes a new file beside it, which takes its place only
// when closed complete.
enum FileMode { FILE_READING, FILE_CREATING, FILE_REPLACING };

// The lowest free number 1..255; 0 when all are open.
int first_free_file_number();

// 0 on success; 1 when the number is outside 1..255 or already open; 2 when
// the file cannot be opened. On failure the number stays free.
int open_text_file(const std::string& path, FileMode mode, int number);

// Appends the text and CR LF. 0 on success; nonzero when the number is not
// open for writing or a write to the disk has failed (the failure sticks).
int write_text_line(int number, const std::string& text);

// The next at most most bytes of the current line, without its line end (CR
// LF or LF); true when they end the line. Lines of any length are read in
// pieces; a most no line reaches reads whole lines. most is at least 3; a
// number that is not open for reading gives an empty piece that ends a line.
bool read_text_piece(int number, std::string& piece, std::size_t most);

// Appends the bytes without a line end; 0 on success, as write_text_line.
int write_text_piece(int number, const std::string& bytes);

// The number of bytes written so far, -1 when the number is not open for
// writing.
std::int64_t text_file_size(int number);

// Ends the file after its first size bytes and writes on from there; 0 on
// success. The failure sticks.
int truncate_text_file(int number, std::int64_t size);

// True when no further byte can be read; true for a number that is not open.
bool at_end(int number);

// True when a read or write on the number has failed since it was opened.
bool text_file_failed(int number);

// Writes out the buffer, closes the stream and frees the number. 0 when every
// byte reached the file and the close succeeded; nothing happens (result 0) on
// a number that is not open. A replacing file then takes its target's place;
// when anything failed it is removed and the target stays as it was.
int close_text_file(int number);

// Closes every open number, as at the end of the program. A replacing file
// still open is unfinished: it is removed and its target stays as it was.
void close_all_text_files();

} // namespace morv
