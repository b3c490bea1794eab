// How many terminal columns a character takes.
#include "display_width.h"

#include "unicode_tables.h"

#include <algorithm>

namespace morv {
namespace {

bool in_table(const CodePointRange* table, std::size_t count, std::uint32_t code_point) {
    const CodePointRange* end = table + count;
    const CodePointRange* found = std::lower_bound(
        table, end, code_point,
        [](const CodePointRange& range, std::uint32_t value) { return range.last < value; });
    return found != end && found->first <= code_point;
}

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

std::size_t utf8_sequence_length(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

int code_point_columns(std::uint32_t code_point) {
    if (in_table(ZERO_WIDTH, ZERO_WIDTH_COUNT, code_point)) {
        return 0;
    }
    return in_table(WIDE, WIDE_COUNT, code_point) ? 2 : 1;
}

DecodedCodePoint decode_code_point(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && is_continuation(static_cast<unsigned char>(text[end]))) {
        ++end;
    }
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = utf8_sequence_length(lead);
    if (length == 0 || length != end - at) {
        return {end, REPLACEMENT_CHARACTER};
    }
    std::uint32_t code_point = length == 1 ? lead : lead & (0x7Fu >> length);
    for (std::size_t k = at + 1; k < end; ++k) {
        code_point = (code_point << 6) | (static_cast<unsigned char>(text[k]) & 0x3Fu);
    }
    return {end, code_point};
}

} // namespace morv
