// Number rules of the dialogue.
#include "number.h"

#include <cmath>
#include <cstdlib>

namespace morv {
namespace {

int digit_value(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    return 99;
}

// Reads an ampersand radix form ("&H1F", "&O17", "&B101", "&17") whose "&"
// stands at text[0]; the value wraps modulo 2^64.
std::uint64_t radix_value(const std::string& text) {
    int radix = 8;
    std::size_t from = 1;
    switch (text[1]) {
    case 'H':
    case 'h':
        radix = 16;
        from = 2;
        break;
    case 'O':
    case 'o':
        from = 2;
        break;
    case 'B':
    case 'b':
        radix = 2;
        from = 2;
        break;
    default:
        break;
    }
    std::uint64_t value = 0;
    for (std::size_t i = from; i < text.size(); ++i) {
        const int digit = digit_value(text[i]);
        if (digit >= radix) {
            break;
        }
        value = value * static_cast<std::uint64_t>(radix) + static_cast<std::uint64_t>(digit);
    }
    return value;
}

std::int64_t as_signed(std::uint64_t bits) {
    return bits <= static_cast<std::uint64_t>(INT64_MAX) ? static_cast<std::int64_t>(bits)
                                                         : -static_cast<std::int64_t>(~bits) - 1;
}

std::int32_t as_signed32(std::uint64_t bits) {
    const auto low = static_cast<std::uint32_t>(bits & 0xFFFFFFFFu);
    return low <= static_cast<std::uint32_t>(INT32_MAX) ? static_cast<std::int32_t>(low)
                                                        : -static_cast<std::int32_t>(~low) - 1;
}

std::int32_t decimal_integer(const std::string& field) {
    std::size_t i = 0;
    bool negative = false;
    if (field[0] == '+' || field[0] == '-') {
        negative = field[0] == '-';
        i = 1;
    }
    const std::uint64_t limit = 0xFFFFFFFFu;
    std::uint64_t magnitude = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (magnitude <= limit) {
            magnitude = magnitude * 10 + static_cast<std::uint64_t>(field[i] - '0');
        }
    }
    if (magnitude > limit) {
        return -1; // overflow marker, whatever the sign
    }
    return as_signed32(negative ? (0 - magnitude) : magnitude);
}

} // namespace

double parse_number(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ') {
        ++start;
    }
    std::string rest = text.substr(start);
    if (rest.empty()) {
        return 0.0;
    }
    if (rest.size() >= 2 && rest[0] == '&') {
        return static_cast<double>(as_signed(radix_value(rest)));
    }
    if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        return 0.0;
    }
    for (char& c : rest) {
        if (c == 'D') {
            c = 'E';
        } else if (c == 'd') {
            c = 'e';
        }
    }
    // The process never changes its locale, so strtod reads a point as the
    // decimal separator.
    return std::strtod(rest.c_str(), nullptr);
}

std::int32_t round_to_int(double value) {
    if (std::isnan(value)) {
        return INT32_MIN;
    }
    double whole = std::floor(value);
    const double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) {
        whole += 1.0;
    }
    if (whole < -2147483648.0 || whole > 2147483647.0) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(whole);
}

std::int32_t integer_field_value(const std::string& field) {
    const std::size_t marker = field.find_first_of(".EeDd");
    if (marker != std::string::npos && field.find('&') > marker) {
        return round_to_int(parse_number(field));
    }
    if (field.empty()) {
        return 0;
    }
    if (field.size() >= 2 && field[0] == '&') {
        return as_signed32(radix_value(field));
    }
    return decimal_integer(field);
}

} // namespace morv
