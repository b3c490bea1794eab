// The field an integer prompt takes, and the integer it stands for: any line
// gives a short piece of itself, cut where the rule says, and a value without
// undefined behaviour.
#include "field.h"
#include "fuzz_support.h"
#include "number.h"

using morv_fuzz::require;

namespace {

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

void check_quoted(const std::string& line, std::size_t quote, const std::string& field) {
    require(field.find('"') == std::string::npos, "a quoted field holds no quote");
    require(line.compare(quote + 1, field.size(), field) == 0,
            "a quoted field is the text behind the quote");
    const std::size_t after = quote + 1 + field.size();
    require(field.size() == morv::INTEGER_FIELD_LIMIT || after == line.size() || line[after] == '"',
            "a quoted field ends at the closing quote, the line's end or the limit");
}

void check_plain(const std::string& line, std::size_t start, const std::string& field) {
    require(field.find_first_of(" \t,") == std::string::npos,
            "a plain field holds no blank, tab or comma");
    require(line.compare(start, field.size(), field) == 0,
            "a plain field starts at the first byte that is no blank or tab");
    const std::size_t after = start + field.size();
    require(field.size() == morv::INTEGER_FIELD_LIMIT || after == line.size() ||
                is_separator(line[after]),
            "a plain field ends at a blank, tab, comma, the line's end or the limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line = morv_fuzz::as_text(data, size);
    const std::string field = morv::first_integer_field(line);
    require(field.size() <= morv::INTEGER_FIELD_LIMIT, "a field holds at most 67 bytes");
    std::size_t start = line.find_first_not_of(" \t");
    start = start == std::string::npos ? line.size() : start;
    if (start < line.size() && line[start] == '"') {
        check_quoted(line, start, field);
    } else {
        check_plain(line, start, field);
    }
    // The prompt goes on to read the field's integer: the sanitizers watch it.
    static_cast<void>(morv::integer_field_value(field));
    return 0;
}
