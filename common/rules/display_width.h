// How many terminal columns a character takes: one for every byte of an
// 8-bit code page; for UTF-8, two for East Asian wide and fullwidth
// characters, none for marks that do not space and for format characters
// (ZWJ among them), one for the rest, spacing marks included. The tables are generated from the
// Unicode Character Database (unicode_tables.h).
//
// The table is the project's own rather than the C library's wcwidth: the
// line editor is pure code that runs and is tested the same on every
// platform, Windows has no wcwidth, and wcwidth answers only under a UTF-8
// locale that the C library may not even have installed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace morv {

struct DecodedCodePoint {
    std::size_t end; // where the next code point starts
    std::uint32_t value;
};

// What a terminal shows for a malformed UTF-8 sequence.
inline constexpr std::uint32_t REPLACEMENT_CHARACTER = 0xFFFD;

// The UTF-8 code point that starts at text[at] (at < text.size()): the lead
// byte and the continuation bytes after it, REPLACEMENT_CHARACTER when they
// do not make one.
DecodedCodePoint decode_code_point(std::string_view text, std::size_t at);

// Bytes of the UTF-8 sequence that lead starts; 0 for a byte that starts
// none (a continuation byte or one UTF-8 never uses).
std::size_t utf8_sequence_length(unsigned char lead);

// Columns of one Unicode code point.
int code_point_columns(std::uint32_t code_point);

} // namespace morv
