// The field rules: which part of a typed line a prompt takes.
#include "field.h"

#include <algorithm>

namespace morv {
namespace {

std::size_t skip_blanks_and_tabs(const std::string& line) {
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) {
        ++i;
    }
    return i;
}

std::string quoted_stretch(const std::string& line, std::size_t quote, std::size_t limit) {
    const std::size_t close = line.find('"', quote + 1);
    const std::size_t end = close == std::string::npos ? line.size() : close;
    return line.substr(quote + 1, std::min(end - quote - 1, limit));
}

} // namespace

std::string first_field(const std::string& line) {
    const std::size_t start = skip_blanks_and_tabs(line);
    if (start < line.size() && line[start] == '"') {
        return quoted_stretch(line, start, FIELD_LIMIT);
    }
    const std::size_t comma = line.find(',', start);
    const std::size_t end = comma == std::string::npos ? line.size() : comma;
    return line.substr(start, std::min(end - start, FIELD_LIMIT));
}

std::string first_integer_field(const std::string& line) {
    std::size_t at = skip_blanks_and_tabs(line);
    std::string field;
    if (at < line.size() && line[at] == '"') {
        // The quoted stretch opens the field, which goes on after it.
        const std::size_t close = line.find('"', at + 1);
        const std::size_t end = close == std::string::npos ? line.size() : close;
        field = line.substr(at + 1, std::min(end - at - 1, INTEGER_FIELD_LIMIT));
        at = close == std::string::npos ? line.size() : close + 1;
    }
    const std::size_t stop = line.find_first_of(" \t,", at);
    const std::size_t end = stop == std::string::npos ? line.size() : stop;
    field.append(line, at, std::min(end - at, INTEGER_FIELD_LIMIT - field.size()));
    return field;
}

} // namespace morv
