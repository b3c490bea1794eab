// The text-mode line reader over any file: it ends, gives the lines the
// line-end rules call for (none of them holding LF), and the lines written
// back with CR LF read back the same unless a line itself ends in CR.
#include "fuzz_support.h"
#include "text_file.h"

#include <vector>

using morv_fuzz::require;

namespace {

constexpr int SOURCE = 1;
constexpr int COPY = 2;
constexpr std::size_t READ_BLOCK = 65536; // the reader's block size

// A first byte with the top bit set puts the rest of the input across the
// reader's first block boundary, where a CR LF pair may be cut in two.
std::string file_contents(const std::string& input) {
    if (input.empty() || (static_cast<unsigned char>(input[0]) & 0x80u) == 0) {
        return input;
    }
    const std::size_t shift = static_cast<unsigned char>(input[0]) & 0x3Fu;
    return std::string(READ_BLOCK - shift, 'x') + input.substr(1);
}

std::vector<std::string> read_all_lines(const std::string& path, std::size_t size) {
    std::vector<std::string> lines;
    require(morv::open_text_file(path, morv::FILE_READING, SOURCE) == 0, "the file opens");
    while (!morv::at_end(SOURCE)) {
        require(lines.size() <= size, "the reader ends: never more lines than bytes");
        std::string line;
        morv::read_text_piece(SOURCE, line, std::string::npos);
        lines.push_back(line);
    }
    require(morv::close_text_file(SOURCE) == 0, "the file closes");
    return lines;
}

bool any_ends_in_cr(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!line.empty() && line.back() == '\r') {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    morv_fuzz::enter_scratch_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents = file_contents(morv_fuzz::as_text(data, size));
    morv_fuzz::write_bytes("in.txt", contents);
    const std::vector<std::string> lines = read_all_lines("in.txt", contents.size());
    for (const std::string& line : lines) {
        require(line.find('\n') == std::string::npos, "no line holds LF");
    }
    require(lines == morv_fuzz::expected_lines(contents), "the lines follow the line-end rules");

    require(morv::open_text_file("out.txt", morv::FILE_CREATING, COPY) == 0, "the copy opens");
    std::string written;
    for (const std::string& line : lines) {
        require(morv::write_text_line(COPY, line) == 0, "a line is written");
        written += line + "\r\n";
    }
    require(morv::close_text_file(COPY) == 0, "the copy closes");
    require(morv_fuzz::read_bytes("out.txt") == written, "each line is written with CR LF");
    if (!any_ends_in_cr(lines)) {
        require(read_all_lines("out.txt", written.size()) == lines,
                "written lines read back unchanged");
    }
    return 0;
}
