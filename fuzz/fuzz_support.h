// What the fuzz targets share: how a broken property is reported, the input
// as text, a scratch folder for targets that go through files, and the lines
// a text file must give, worked out independently of the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace morv_fuzz {

// Aborts with the property's name: libFuzzer then keeps the input as a crash.
void require(bool holds, const char* property);

std::string as_text(const std::uint8_t* data, std::size_t size);

// Makes a fresh folder, removed when the process ends, the working folder.
void enter_scratch_folder();

void write_bytes(const std::string& path, const std::string& bytes);
std::string read_bytes(const std::string& path);

// The blank trimming of the dialogue: blanks from the start, blanks and zero
// bytes from the end.
std::string trimmed(const std::string& text);

// The lines a text-mode reader delivers for these file bytes: nothing from a
// Ctrl-Z on; LF ends a line and takes up to two CRs before it (the CR of a
// CR LF pair and one more); a last line without LF loses one final CR.
std::vector<std::string> expected_lines(const std::string& bytes);

// The input cut at every separator byte; k separators give k + 1 pieces.
std::vector<std::string> pieces(const std::string& text, char separator);

} // namespace morv_fuzz
