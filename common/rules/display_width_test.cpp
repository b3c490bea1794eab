#include "display_width.h"

#include <gtest/gtest.h>

#include <string>

namespace morv {
namespace {

// A UTF-8 character is its lead byte and the continuation bytes after it; a
// malformed one takes one column, as a terminal shows a replacement mark.
TEST(DecodeCodePoint, GivesEachCharacterItsBytesAndColumns) {
    const struct {
        const char* what;
        std::string text;
        std::size_t at;
        std::size_t end;
        int columns;
    } cases[] = {
        {"ASCII", "ab", 1, 2, 1},
        {"blank", " ", 0, 1, 1},
        {"UTF-8 e acute", "\xc3\xa9x", 0, 2, 1},
        {"CJK ideograph", "\xe6\x97\xa5x", 0, 3, 2},
        {"Hiragana", "\xe3\x81\x82", 0, 3, 2},
        {"Hangul syllable", "\xea\xb0\x80", 0, 3, 2},
        {"fullwidth A", "\xef\xbc\xa1", 0, 3, 2},
        {"emoji", "\xf0\x9f\x98\x80", 0, 4, 2},
        {"CJK extension B", "\xf0\xa0\x80\x80", 0, 4, 2},
        {"combining acute", "e\xcc\x81", 1, 3, 0},
        {"combining Hebrew point", "\xd6\xb8", 0, 2, 0},
        {"zero-width space", "\xe2\x80\x8b", 0, 3, 0},
        {"euro sign", "\xe2\x82\xac", 0, 3, 1},
        {"ideographic full stop is wide", "\xe3\x80\x82", 0, 3, 2},
        {"truncated wide character", "\xe6\x97x", 0, 2, 1},
        {"stray continuation byte", "\x97x", 0, 1, 1},
        {"byte that starts nothing", "\xffx", 0, 1, 1},
    };
    for (const auto& c : cases) {
        const DecodedCodePoint decoded = decode_code_point(c.text, c.at);
        EXPECT_EQ(decoded.end, c.end) << c.what;
        EXPECT_EQ(code_point_columns(decoded.value), c.columns) << c.what;
    }
}

// Past the edges: spacing marks that extend a grapheme still take a column
// (a wide one two), as do the halfwidth katakana sound marks and SOFT HYPHEN.
TEST(CodePointColumns, KnowsTheEdgesOfItsRanges) {
    const struct {
        std::uint32_t code_point;
        int columns;
    } cases[] = {
        {0x02FF, 1},  {0x0300, 0},  {0x036F, 0},  {0x0370, 1},  {0x10FF, 1},  {0x1100, 2},
        {0x115F, 2},  {0x1160, 0},  {0x11FF, 0},  {0x1200, 1},  {0x2E7F, 1},  {0x2E80, 2},
        {0x303E, 2},  {0x303F, 1},  {0x3041, 2},  {0x4E00, 2},  {0x9FFF, 2},  {0xA4D0, 1},
        {0xD7A3, 2},  {0xD7A4, 1},  {0xFF01, 2},  {0xFF60, 2},  {0xFF61, 1},  {0xFFE6, 2},
        {0xFFE7, 1},  {0x1F600, 2}, {0x1F650, 1}, {0x2FFFD, 2}, {0x40000, 1}, {0xE0100, 0},
        {0x09BE, 1},  {0x09D7, 1},  {0x0BBE, 1},  {0x0D3E, 1},  {0x0DCF, 1},  {0x1B35, 1},
        {0x11930, 1}, {0x1D165, 1}, {0x302E, 2},  {0xFF9E, 1},  {0xFF9F, 1},  {0x00AD, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(code_point_columns(c.code_point), c.columns) << std::hex << c.code_point;
    }
}

} // namespace
} // namespace morv
