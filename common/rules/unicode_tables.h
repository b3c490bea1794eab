// The Unicode tables the line editor measures and steps through text with,
// generated from the Unicode Character Database by scripts/unicode_tables.
#pragma once

#include <cstddef>
#include <cstdint>

namespace morv {

// The grapheme cluster break property of UAX #29; PICTOGRAPHIC stands for
// Extended_Pictographic, whose code points are all of class Other.
enum GraphemeClass {
    GRAPHEME_OTHER,
    GRAPHEME_CR,
    GRAPHEME_LF,
    GRAPHEME_CONTROL,
    GRAPHEME_EXTEND,
    GRAPHEME_ZWJ,
    GRAPHEME_REGIONAL_INDICATOR,
    GRAPHEME_PREPEND,
    GRAPHEME_SPACING_MARK,
    GRAPHEME_L,
    GRAPHEME_V,
    GRAPHEME_T,
    GRAPHEME_LV,
    GRAPHEME_LVT,
    GRAPHEME_PICTOGRAPHIC,
};

struct CodePointRange {
    std::uint32_t first;
    std::uint32_t last;
};

struct GraphemeRange {
    std::uint32_t first;
    std::uint32_t last;
    GraphemeClass grapheme_class;
};

// Sorted, without overlaps.
extern const GraphemeRange GRAPHEME_CLASSES[];
extern const std::size_t GRAPHEME_CLASS_COUNT;
// East Asian Wide and Fullwidth: two columns.
extern const CodePointRange WIDE[];
extern const std::size_t WIDE_COUNT;
// No column of their own; checked before WIDE: marks that do not space
// (Mn, Me), format characters (Cf), controls and Hangul medial vowels and
// final consonants. Spacing marks (Mc) take a column, as terminals draw them.
extern const CodePointRange ZERO_WIDTH[];
extern const std::size_t ZERO_WIDTH_COUNT;

} // namespace morv
