// Grapheme cluster boundaries, by the rules GB3 to GB13 of UAX #29.
#include "grapheme.h"

#include "display_width.h"

#include <algorithm>

namespace morv {
namespace {

bool is_control(GraphemeClass c) {
    return c == GRAPHEME_CONTROL || c == GRAPHEME_CR || c == GRAPHEME_LF;
}

bool is_hangul_vowel_or_syllable(GraphemeClass c) {
    return c == GRAPHEME_L || c == GRAPHEME_V || c == GRAPHEME_LV || c == GRAPHEME_LVT;
}

// GB3 to GB9b: the pairs that stay together whatever came before them.
bool pair_joins(GraphemeClass before, GraphemeClass after) {
    if (before == GRAPHEME_CR && after == GRAPHEME_LF) {
        return true;
    }
    if (is_control(before) || is_control(after)) {
        return false;
    }
    if (before == GRAPHEME_L && is_hangul_vowel_or_syllable(after)) {
        return true;
    }
    if ((before == GRAPHEME_LV || before == GRAPHEME_V) &&
        (after == GRAPHEME_V || after == GRAPHEME_T)) {
        return true;
    }
    if ((before == GRAPHEME_LVT || before == GRAPHEME_T) && after == GRAPHEME_T) {
        return true;
    }
    return after == GRAPHEME_EXTEND || after == GRAPHEME_ZWJ || after == GRAPHEME_SPACING_MARK ||
           before == GRAPHEME_PREPEND;
}

// What the code points of a cluster so far leave open for GB11 to GB13.
struct ClusterState {
    GraphemeClass last = GRAPHEME_OTHER;
    bool in_pictograph = false;        // a pictograph and extenders
    bool after_pictograph_zwj = false; // a pictograph, extenders and ZWJ
    int regional_indicators = 0;       // in a row at the end
};

bool joins(const ClusterState& state, GraphemeClass after) {
    if (pair_joins(state.last, after)) {
        return true;
    }
    if (state.after_pictograph_zwj && after == GRAPHEME_PICTOGRAPHIC) {
        return true;
    }
    return state.last == GRAPHEME_REGIONAL_INDICATOR && after == GRAPHEME_REGIONAL_INDICATOR &&
           state.regional_indicators % 2 == 1;
}

void advance(ClusterState& state, GraphemeClass next) {
    state.after_pictograph_zwj = state.in_pictograph && next == GRAPHEME_ZWJ;
    state.in_pictograph =
        next == GRAPHEME_PICTOGRAPHIC || (state.in_pictograph && next == GRAPHEME_EXTEND);
    state.regional_indicators =
        next == GRAPHEME_REGIONAL_INDICATOR ? state.regional_indicators + 1 : 0;
    state.last = next;
}

// True where a boundary stands whatever comes before the pair: only ZWJ
// with a pictograph and two regional indicators depend on more.
bool always_breaks(GraphemeClass before, GraphemeClass after) {
    if (pair_joins(before, after)) {
        return false;
    }
    return !(before == GRAPHEME_ZWJ && after == GRAPHEME_PICTOGRAPHIC) &&
           !(before == GRAPHEME_REGIONAL_INDICATOR && after == GRAPHEME_REGIONAL_INDICATOR);
}

bool is_printable_ascii(std::string_view text, std::size_t at) {
    const auto byte = static_cast<unsigned char>(text[at]);
    return byte >= 0x20 && byte < 0x7F;
}

bool is_ascii_or_end(std::string_view text, std::size_t at) {
    return at >= text.size() || static_cast<unsigned char>(text[at]) < 0x80;
}

// Where the UTF-8 sequence that holds the byte before at starts, as
// decode_code_point reads the text from its start.
std::size_t code_point_start_before(std::string_view text, std::size_t at) {
    do {
        --at;
    } while (at > 0 && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80);
    return at;
}

GraphemeClass class_at(std::string_view text, std::size_t at) {
    return grapheme_class(decode_code_point(text, at).value);
}

} // namespace

GraphemeClass grapheme_class(std::uint32_t code_point) {
    if (code_point >= 0x20 && code_point < 0x7F) {
        return GRAPHEME_OTHER;
    }
    const GraphemeRange* end = GRAPHEME_CLASSES + GRAPHEME_CLASS_COUNT;
    const GraphemeRange* found = std::lower_bound(
        GRAPHEME_CLASSES, end, code_point,
        [](const GraphemeRange& range, std::uint32_t value) { return range.last < value; });
    return found != end && found->first <= code_point ? found->grapheme_class : GRAPHEME_OTHER;
}

ClusterExtent cluster_extent(std::string_view text, std::size_t at, bool utf8) {
    if (!utf8 || (is_printable_ascii(text, at) && is_ascii_or_end(text, at + 1))) {
        return {at + 1, 1};
    }
    ClusterState state;
    advance(state, class_at(text, at));
    std::size_t end = decode_code_point(text, at).end;
    while (end < text.size()) {
        const DecodedCodePoint next = decode_code_point(text, end);
        const GraphemeClass next_class = grapheme_class(next.value);
        if (!joins(state, next_class)) {
            break;
        }
        advance(state, next_class);
        end = next.end;
    }
    int columns = 0;
    for (std::size_t piece = at; piece < end;) {
        const DrawnCharacter drawn = drawn_character(text, piece, end, true);
        columns += drawn.columns;
        piece = drawn.end;
    }
    return {end, columns};
}

DrawnCharacter drawn_character(std::string_view text, std::size_t at, std::size_t cluster_end,
                               bool utf8) {
    if (!utf8) {
        return {at + 1, 1};
    }
    const DecodedCodePoint first = decode_code_point(text, at);
    GraphemeClass last = grapheme_class(first.value);
    std::size_t end = first.end;
    while (end < cluster_end) {
        const DecodedCodePoint next = decode_code_point(text, end);
        const GraphemeClass next_class = grapheme_class(next.value);
        // Inside a cluster a pictograph after ZWJ is one joined to the
        // pictograph before, drawn into that one's columns.
        const bool joined = last == GRAPHEME_ZWJ && next_class == GRAPHEME_PICTOGRAPHIC;
        if (!joined && code_point_columns(next.value) > 0) {
            break;
        }
        last = next_class;
        end = next.end;
    }
    return {end, code_point_columns(first.value)};
}

std::size_t cluster_start_before(std::string_view text, std::size_t at, bool utf8) {
    if (at == 0 || !utf8) {
        return at == 0 ? 0 : at - 1;
    }
    // Back to a boundary that nothing before it can move, then forward.
    std::size_t start = code_point_start_before(text, at);
    while (start > 0) {
        const std::size_t before = code_point_start_before(text, start);
        if (always_breaks(class_at(text, before), class_at(text, start))) {
            break;
        }
        start = before;
    }
    for (;;) {
        const std::size_t end = cluster_extent(text, start, true).end;
        if (end >= at) {
            return start;
        }
        start = end;
    }
}

std::size_t redraw_start(std::string_view text, std::size_t at, bool utf8) {
    if (!utf8 || at == 0 || at >= text.size()) {
        return std::min(at, text.size());
    }
    const bool inside_code_point = (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    if (!inside_code_point &&
        always_breaks(class_at(text, code_point_start_before(text, at)), class_at(text, at))) {
        return at;
    }
    return cluster_start_before(text, at, true);
}

} // namespace morv
