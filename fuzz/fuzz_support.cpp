// What the fuzz targets share.
#include "fuzz_support.h"
#include "scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace morv_fuzz {
namespace {

namespace fs = std::filesystem;

// Made on first use and removed at the end of the process, after
// leave_scratch_folder has moved out of it.
const morv_test::ScratchFolder& scratch_folder() {
    static const morv_test::ScratchFolder folder("morv_fuzz_");
    return folder;
}

void leave_scratch_folder() {
    std::error_code ignored;
    fs::current_path(fs::temp_directory_path(), ignored);
}

} // namespace

void require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

std::string as_text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

void enter_scratch_folder() {
    fs::current_path(scratch_folder().path);
    std::atexit(leave_scratch_folder);
}

void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    require(!out.fail(), "the scratch file is written");
}

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string trimmed(const std::string& text) {
    const std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(std::string(" \0", 2));
    return last == std::string::npos || last < begin ? std::string()
                                                     : text.substr(begin, last - begin + 1);
}

std::vector<std::string> expected_lines(const std::string& bytes) {
    const std::string data = bytes.substr(0, bytes.find('\x1a'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < data.size()) {
        const std::size_t line_feed = data.find('\n', start);
        const bool ended = line_feed != std::string::npos;
        std::string line = data.substr(start, ended ? line_feed - start : std::string::npos);
        for (int k = 0; k < (ended ? 2 : 1) && !line.empty() && line.back() == '\r'; ++k) {
            line.pop_back();
        }
        lines.push_back(line);
        start = ended ? line_feed + 1 : data.size();
    }
    return lines;
}

std::vector<std::string> pieces(const std::string& text, char separator) {
    std::vector<std::string> result(1);
    for (const char c : text) {
        if (c == separator) {
            result.emplace_back();
        } else {
            result.back() += c;
        }
    }
    return result;
}

} // namespace morv_fuzz
