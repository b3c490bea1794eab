// Text rules shared by both programs: trimming, case, cutting and searching.
// Texts are byte strings; positions count from 1, as the dialogue rules do.
#pragma once

#include <cstdint>
#include <string>

namespace morv {

// Blanks go from the start; blanks and zero bytes from the end. Tabs stay.
std::string trim_spaces(const std::string& text);

// a-z become A-Z; every other byte stays.
std::string upper_ascii(const std::string& text);

std::string left_part(const std::string& text, std::int64_t count);
std::string right_part(const std::string& text, std::int64_t count);

// From position start on, count bytes; a negative count takes all to the end.
std::string mid_part(const std::string& text, std::int64_t start, std::int64_t count = -1);

// 1-based position of the first / last occurrence of needle; 0 when none.
std::int64_t find_first(const std::string& text, const std::string& needle);
std::int64_t find_last(const std::string& text, const std::string& needle);

std::string int_to_text(std::int32_t value);

} // namespace morv
