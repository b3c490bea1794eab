// The field a prompt takes from a typed line: any line gives a field that is
// a piece of the line, cut where the rule says and never longer than the limit.
#include "field.h"
#include "fuzz_support.h"

using morv_fuzz::require;

namespace {

std::size_t after_blanks_and_tabs(const std::string& line) {
    const std::size_t start = line.find_first_not_of(" \t");
    return start == std::string::npos ? line.size() : start;
}

void check_quoted(const std::string& line, std::size_t quote, const std::string& field) {
    require(field.find('"') == std::string::npos, "a quoted field holds no quote");
    require(line.compare(quote + 1, field.size(), field) == 0,
            "a quoted field is the text behind the quote");
    const std::size_t after = quote + 1 + field.size();
    require(field.size() == morv::FIELD_LIMIT || after == line.size() || line[after] == '"',
            "a quoted field ends at the closing quote, the line's end or the limit");
}

void check_plain(const std::string& line, std::size_t start, const std::string& field) {
    require(field.find(',') == std::string::npos, "a plain field holds no comma");
    require(line.compare(start, field.size(), field) == 0,
            "a plain field starts at the first byte that is no blank or tab");
    const std::size_t after = start + field.size();
    require(field.size() == morv::FIELD_LIMIT || after == line.size() || line[after] == ',',
            "a plain field ends at a comma, the line's end or the limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line = morv_fuzz::as_text(data, size);
    const std::string field = morv::first_field(line);
    require(field.size() <= morv::FIELD_LIMIT, "a field holds at most 4096 bytes");
    const std::size_t start = after_blanks_and_tabs(line);
    if (start < line.size() && line[start] == '"') {
        check_quoted(line, start, field);
    } else {
        check_plain(line, start, field);
    }
    return 0;
}
