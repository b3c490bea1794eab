// The field an integer prompt takes, and the integer it stands for: any line
// gives a short piece of itself (a leading quoted stretch without its quotes,
// then what follows up to a separator), cut where the rule says, and a value
// without undefined behaviour.
#include "field.h"
#include "fuzz_support.h"
#include "number.h"

#include <algorithm>

using morv_fuzz::require;

namespace {

bool is_separator(char c) {
    return c == ' ' || c == '\t' || c == ',';
}

// A field that reaches the limit may end anywhere.
bool at_limit(const std::string& field) {
    return field.size() == morv::INTEGER_FIELD_LIMIT;
}

// The part of the field that runs on from start.
void check_plain(const std::string& line, std::size_t start, const std::string& part,
                 bool limit_reached) {
    require(part.find_first_of(" \t,") == std::string::npos,
            "a plain field holds no blank, tab or comma");
    require(line.compare(start, part.size(), part) == 0,
            "a plain field starts at the first byte that is no blank or tab");
    const std::size_t after = start + part.size();
    require(limit_reached || after == line.size() || is_separator(line[after]),
            "a plain field ends at a blank, tab, comma, the line's end or the limit");
}

void check_quoted(const std::string& line, std::size_t quote, const std::string& field) {
    const std::size_t close = line.find('"', quote + 1);
    const std::size_t end = close == std::string::npos ? line.size() : close;
    const std::size_t stretch = std::min(end - quote - 1, field.size());
    require(line.compare(quote + 1, stretch, field, 0, stretch) == 0,
            "a quoted field opens with the text behind the quote");
    if (stretch == field.size()) {
        require(at_limit(field) || close == std::string::npos || close + 1 == line.size() ||
                    is_separator(line[close + 1]),
                "a quoted field goes on after its closing quote");
        return;
    }
    // The field goes on after the closing quote as a plain one.
    check_plain(line, close + 1, field.substr(stretch), at_limit(field));
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
        check_plain(line, start, field, at_limit(field));
    }
    // The prompt goes on to read the field's integer: the sanitizers watch it.
    static_cast<void>(morv::integer_field_value(field));
    return 0;
}
