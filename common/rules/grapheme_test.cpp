// Grapheme cluster stepping against Unicode's own test file, and the widths
// and steps of the clusters a name is most likely to hold.
#include "grapheme.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace morv {
namespace {

const char* const BREAK_TEST = "/usr/share/unicode/auxiliary/GraphemeBreakTest.txt";

std::string utf8_of(std::uint32_t cp) {
    const int tail = cp < 0x80 ? 0 : cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
    const std::uint32_t lead = tail == 0 ? 0 : (0xFF00u >> (tail + 1)) & 0xFFu;
    std::string out(1, static_cast<char>(lead | (cp >> (6 * tail))));
    for (int k = tail - 1; k >= 0; --k) {
        out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
    }
    return out;
}

// A line such as "÷ 0020 × 0308 ÷": the text and the byte offsets of its
// cluster boundaries after the first.
void parse_case(const std::string& line, std::string& text, std::vector<std::size_t>& breaks) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string word;
    while (words >> word) {
        if (word == "\xc3\xb7") {
            if (!text.empty()) {
                breaks.push_back(text.size());
            }
        } else if (word != "\xc3\x97") {
            text += utf8_of(static_cast<std::uint32_t>(std::stoul(word, nullptr, 16)));
        }
    }
}

TEST(GraphemeCluster, StepsAsUnicodesBreakTestSays) {
    std::ifstream file(BREAK_TEST);
    if (!file) {
        GTEST_SKIP() << BREAK_TEST << " is missing (Debian package unicode-data)";
    }
    std::string line;
    int cases = 0;
    while (std::getline(file, line)) {
        std::string text;
        std::vector<std::size_t> expected;
        parse_case(line, text, expected);
        if (text.empty()) {
            continue;
        }
        ++cases;
        std::vector<std::size_t> forward;
        for (std::size_t at = 0; at < text.size();) {
            at = cluster_extent(text, at, true).end;
            forward.push_back(at);
        }
        EXPECT_EQ(forward, expected) << line;
        std::vector<std::size_t> backward = {text.size()};
        for (std::size_t at = text.size(); at > 0;) {
            at = cluster_start_before(text, at, true);
            if (at > 0) {
                backward.insert(backward.begin(), at);
            }
        }
        EXPECT_EQ(backward, expected) << line;
    }
    EXPECT_GT(cases, 500);
}

// Columns as tmux draws them: marks add none, a pictograph joined by ZWJ
// adds none, a flag takes two; a modifier or a spacing mark adds its own.
TEST(GraphemeCluster, TakesTheColumnsATerminalDrawsItIn) {
    const struct {
        const char* what;
        std::string text;
        std::size_t end;
        int columns;
    } cases[] = {
        {"e with acute", "e\xcc\x81x", 3, 1},
        {"man ZWJ woman", "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9x", 11, 2},
        {"thumbs up with skin tone", "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbdx", 8, 4},
        {"flag of Japan", "\xf0\x9f\x87\xaf\xf0\x9f\x87\xb5\xf0\x9f\x87\xaf", 8, 2},
        {"heart with emoji selector", "\xe2\x9d\xa4\xef\xb8\x8fx", 6, 1},
        {"Hangul L V T", "\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8x", 9, 2},
        {"Hangul LV then T", "\xea\xb0\x80\xe1\x86\xa8x", 6, 2},
        {"Devanagari ka with spacing i", "\xe0\xa4\x95\xe0\xa4\xbfx", 6, 2},
        {"Arabic number sign before a digit",
         "\xd8\x80"
         "1x",
         3, 2},
        {"a byte in a code page", "\xf0\x9f", 1, 1},
    };
    for (const auto& c : cases) {
        const bool utf8 = std::string(c.what) != "a byte in a code page";
        const ClusterExtent cluster = cluster_extent(c.text, 0, utf8);
        EXPECT_EQ(cluster.end, c.end) << c.what;
        EXPECT_EQ(cluster.columns, c.columns) << c.what;
        EXPECT_EQ(cluster_start_before(c.text, c.end, utf8), 0u) << c.what;
    }
}

} // namespace
} // namespace morv
