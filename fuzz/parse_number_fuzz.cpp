// Text to number and number to integer: blanks in front change nothing, D and
// E mean the same outside the "&" forms, and rounding agrees with the
// platform's own round-half-to-even.
#include "fuzz_support.h"
#include "number.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>

using morv_fuzz::require;

namespace {

bool same_number(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

std::string with_exponent_letters(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        c = c == 'D' ? 'E' : c == 'd' ? 'e' : c;
    }
    return result;
}

// The integer round_to_int must give, by the floating-point unit's own
// nearest-even rounding.
std::int32_t expected_integer(double value) {
    if (!std::isfinite(value)) {
        return INT32_MIN;
    }
    const double nearest = std::nearbyint(value);
    if (nearest < -2147483648.0 || nearest > 2147483647.0) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(nearest);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = morv_fuzz::as_text(data, size);
    const double value = morv::parse_number(text);
    require(same_number(value, morv::parse_number("  " + text)),
            "leading blanks do not change the number");
    const std::size_t start = text.find_first_not_of(' ');
    const bool radix_form = start != std::string::npos && text[start] == '&';
    if (!radix_form) {
        require(same_number(value, morv::parse_number(with_exponent_letters(text))),
                "D and d read as E and e");
    }
    require(std::fegetround() == FE_TONEAREST, "the process rounds to nearest");
    require(morv::round_to_int(value) == expected_integer(value),
            "round_to_int rounds halves to even and maps the rest to -2147483648");
    return 0;
}
