// Grapheme clusters: what a reader takes for one character, such as a letter
// with its accents, an emoji sequence joined by ZWJ, a flag made of two
// regional indicators or a Hangul syllable made of jamo. The cursor and the
// editing keys step over a cluster whole, by the extended grapheme cluster
// rules of Unicode's UAX #29.
//
// On an 8-bit code page every byte is a cluster of one column.
#pragma once

#include "unicode_tables.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace morv {

struct ClusterExtent {
    std::size_t end; // where the next cluster starts
    int columns;
};

GraphemeClass grapheme_class(std::uint32_t code_point);

// The cluster that starts at text[at] (at < text.size(), at a cluster's
// start). It takes the columns of its characters as a terminal draws them:
// marks take none, and a pictograph joined by ZWJ takes none after the first.
ClusterExtent cluster_extent(std::string_view text, std::size_t at, bool utf8);

// One character of a cluster as a terminal draws it: a code point with
// columns of its own and the ones after it that it draws into its cells.
// A skin-toned emoji is two such characters of two columns each, and each
// goes to the next row when it does not fit in the row's last columns.
struct DrawnCharacter {
    std::size_t end; // where the next one starts
    int columns;
};

// The drawn character that starts at text[at], inside the cluster that
// ends at cluster_end (at < cluster_end).
DrawnCharacter drawn_character(std::string_view text, std::size_t at, std::size_t cluster_end,
                               bool utf8);

// Where the cluster that holds the byte before at starts (0 < at <=
// text.size()); 0 when at is 0.
std::size_t cluster_start_before(std::string_view text, std::size_t at, bool utf8);

// Where a redraw of text changed from at on must start: at itself when the
// cluster before it cannot take in what comes after, else that cluster's
// start. Called with the text before and after the change.
std::size_t redraw_start(std::string_view text, std::size_t at, bool utf8);

} // namespace morv
