// The field rules: which part of a typed line a prompt takes.
#pragma once

#include <string>

namespace morv {

inline constexpr std::size_t FIELD_LIMIT = 4096;
inline constexpr std::size_t INTEGER_FIELD_LIMIT = 67;

// Leading blanks and tabs skipped; a quoted field runs to the next quote,
// otherwise the field runs to the first comma. At most 4096 bytes.
std::string first_field(const std::string& line);

// Leading blanks and tabs skipped; runs to the first blank, tab or comma. A
// quote as its first character opens a quoted stretch, which may hold blanks,
// tabs and commas; its quotes are left out and the field goes on after it.
// At most 67 bytes.
std::string first_integer_field(const std::string& line);

} // namespace morv
