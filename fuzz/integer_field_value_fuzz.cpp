// The integer a field stands for, checked against a second reading of the
// rule written here from scratch: floating forms are rounded, "&" forms wrap
// in 32 bits, decimal forms saturate to -1 above 4294967295.
#include "fuzz_support.h"
#include "number.h"

#include <cstdint>

using morv_fuzz::require;

namespace {

constexpr std::uint64_t MAGNITUDE_LIMIT = 0xFFFFFFFFu;

int digit_in_radix(char c, int radix) {
    int value = 99;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < radix ? value : -1;
}

// Two's complement reading of the low 32 bits.
std::int32_t low_32_bits(std::uint32_t bits) {
    return bits < 0x80000000u
               ? static_cast<std::int32_t>(bits)
               : static_cast<std::int32_t>(static_cast<std::int64_t>(bits) - 0x100000000LL);
}

std::int32_t radix_reading(const std::string& field) {
    const char kind = field[1];
    int radix = 8;
    std::size_t from = 2;
    if (kind == 'H' || kind == 'h') {
        radix = 16;
    } else if (kind == 'B' || kind == 'b') {
        radix = 2;
    } else if (kind != 'O' && kind != 'o') {
        from = 1;
    }
    std::uint32_t value = 0; // unsigned arithmetic wraps modulo 2^32
    for (std::size_t i = from; i < field.size(); ++i) {
        const int digit = digit_in_radix(field[i], radix);
        if (digit < 0) {
            break;
        }
        value = value * static_cast<std::uint32_t>(radix) + static_cast<std::uint32_t>(digit);
    }
    return low_32_bits(value);
}

std::int32_t decimal_reading(const std::string& field) {
    const bool negative = field[0] == '-';
    std::size_t i = field[0] == '-' || field[0] == '+' ? 1 : 0;
    std::uint64_t magnitude = 0;
    bool too_large = false;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + static_cast<std::uint64_t>(field[i] - '0');
        if (magnitude > MAGNITUDE_LIMIT) {
            too_large = true;
            magnitude = MAGNITUDE_LIMIT + 1;
        }
    }
    if (too_large) {
        return -1;
    }
    const auto bits = static_cast<std::uint32_t>(magnitude);
    return low_32_bits(negative ? 0u - bits : bits);
}

std::int32_t expected_value(const std::string& field) {
    const std::size_t marker = field.find_first_of(".EeDd");
    const std::size_t ampersand = field.find('&');
    if (marker != std::string::npos && (ampersand == std::string::npos || ampersand > marker)) {
        return morv::round_to_int(morv::parse_number(field));
    }
    if (field.empty()) {
        return 0;
    }
    if (field.size() >= 2 && field[0] == '&') {
        return radix_reading(field);
    }
    return decimal_reading(field);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string field = morv_fuzz::as_text(data, size);
    require(morv::integer_field_value(field) == expected_value(field),
            "the field's integer follows the integer field rule");
    return 0;
}
