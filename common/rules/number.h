// Number rules of the dialogue: how a typed text becomes a number, and how a
// number becomes an integer.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// Text to double: &H/&O/&B radix forms, "0x" gives 0, D/d read as E/e, else
// the longest decimal floating-point prefix (C locale); no number gives 0.
double parse_number(const std::string& text);

// Nearest integer, halves to even; out of range, infinities and NaN give
// -2147483648.
std::int32_t round_to_int(double value);

// The integer a field read by the integer field rule stands for.
std::int32_t integer_field_value(const std::string& field);

} // namespace morv
