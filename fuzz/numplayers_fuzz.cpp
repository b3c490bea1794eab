// The COMMIT.DAT update over any file and any count: every NUMPLAYERS line
// (NUMPLAYERS in any case and "=" in its blank-trimmed form, which does not
// start with ";") becomes the count line, every other line is copied, every
// line ends in CR LF, and no scratch file stays behind.
#include "commit_dat.h"
#include "fuzz_support.h"

#include <cstring>
#include <filesystem>
#include <vector>

using morv_fuzz::require;

namespace {

bool is_count_line(const std::string& line) {
    const std::string trimmed = morv_fuzz::trimmed(line);
    std::string upper = trimmed;
    for (char& c : upper) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return upper.find("NUMPLAYERS") != std::string::npos &&
           trimmed.find('=') != std::string::npos && trimmed[0] != ';';
}

std::string expected_file(const std::string& contents, std::int32_t count) {
    std::string file;
    for (const std::string& line : morv_fuzz::expected_lines(contents)) {
        file += (is_count_line(line) ? "NUMPLAYERS = " + std::to_string(count) : line) + "\r\n";
    }
    return file;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    morv_fuzz::enter_scratch_folder();
    return 0;
}

// The first four bytes are the count, the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::int32_t count = 0;
    const std::size_t count_size = size < sizeof count ? size : sizeof count;
    std::memcpy(&count, data, count_size);
    const std::string contents = morv_fuzz::as_text(data + count_size, size - count_size);
    morv_fuzz::write_bytes("COMMIT.DAT", contents);
    morv::update_commit_dat(count);
    require(morv_fuzz::read_bytes("COMMIT.DAT") == expected_file(contents, count),
            "COMMIT.DAT holds its lines with the count lines replaced");
    require(!std::filesystem::exists("temp.txt"), "the scratch copy has become COMMIT.DAT");
    return 0;
}
