#include "key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morv {
namespace {

struct DecodeCase {
    std::string bytes;
    int key;
    std::size_t consumed;
};

void expect_decoded(const DecodeCase& c, bool more_may_come) {
    const DecodedKey decoded = decode_key(c.bytes, more_may_come);
    EXPECT_EQ(decoded.key, c.key) << testing::PrintToString(c.bytes);
    EXPECT_EQ(decoded.consumed, c.consumed) << testing::PrintToString(c.bytes);
}

// The keys of bytes that came in reads, in turn, as the console decodes them.
std::vector<int> keys_of_reads(const std::vector<std::string>& reads) {
    KeyDecoder decoder;
    std::vector<int> keys;
    for (const std::string& read : reads) {
        std::string_view rest = read;
        while (!rest.empty()) {
            const DecodedKey decoded = decode_key(decoder, rest, false);
            if (decoded.consumed == 0) {
                ADD_FAILURE() << "a decided key took no bytes";
                return keys;
            }
            if (decoded.key != KEY_NONE) {
                keys.push_back(decoded.key);
            }
            rest.remove_prefix(decoded.consumed);
        }
    }
    return keys;
}

TEST(DecodeKey, TakesEscWithTheBytesOfAnotherKeyAsOneIgnoredAltKey) {
    const DecodeCase cases[] = {
        {"\x1b"
         "b",
         KEY_IGNORED, 2},
        {"\x1b"
         "bx",
         KEY_IGNORED, 2},
        {"\x1b"
         "B",
         KEY_IGNORED, 2},
        {"\x1b\r", KEY_IGNORED, 2},
        {"\x1b\r\n", KEY_IGNORED, 3},
        {"\x1b\rx", KEY_IGNORED, 2},
        {"\x1b\n", KEY_IGNORED, 2},
        {"\x1b\x7f", KEY_IGNORED, 2},
        {"\x1b\b", KEY_IGNORED, 2},
        {"\x1b\t", KEY_IGNORED, 2},
        {"\x1b\x1b[A", KEY_IGNORED, 4},
        {"\x1b\x1b[1;3Dx", KEY_IGNORED, 7},
        {"\x1b\x1bOA", KEY_IGNORED, 4},
        {"\x1b\x1b[3~", KEY_IGNORED, 5},
        {"\x1b\x1b"
         "x",
         KEY_IGNORED, 2},
        {"\x1b\xc3\xa9x", KEY_IGNORED, 3},
        {"\x1b\xe2\x82\xac", KEY_IGNORED, 4},
        {"\x1b\xe9"
         "a",
         KEY_IGNORED, 2},
        {"\x1b\xc3"
         "a",
         KEY_IGNORED, 2},
    };
    for (const DecodeCase& c : cases) {
        expect_decoded(c, true);
    }
}

TEST(DecodeKey, KeepsTheEnterThatEndsABrokenSequence) {
    const DecodeCase cases[] = {
        {"\x1b[\r", KEY_IGNORED, 2},
        {"\x1b[1\r", KEY_IGNORED, 3},
        {"\x1b[1\xe9", KEY_IGNORED, 3},
    };
    for (const DecodeCase& c : cases) {
        expect_decoded(c, true);
    }
}

TEST(DecodeKey, WaitsForTheRestOfAnAltKeyOnlyWhileMoreMayCome) {
    EXPECT_EQ(decode_key("\x1b\x1b", true).consumed, 0u);
    EXPECT_EQ(decode_key("\x1b\x1b[", true).consumed, 0u);
    EXPECT_EQ(decode_key("\x1b\x1b[1;3", true).consumed, 0u);
    expect_decoded({"\x1b\x1b", KEY_IGNORED, 2}, false);
    expect_decoded({"\x1b\x1b[", KEY_IGNORED, 3}, false);
}

TEST(DecodeKey, ReadsTheLinuxConsoleFunctionKeysAsIgnoredKeys) {
    const DecodeCase cases[] = {
        {"\x1b[[A", KEY_IGNORED, 4}, {"\x1b[[B", KEY_IGNORED, 4},  {"\x1b[[C", KEY_IGNORED, 4},
        {"\x1b[[D", KEY_IGNORED, 4}, {"\x1b[[Ex", KEY_IGNORED, 4},
    };
    for (const DecodeCase& c : cases) {
        expect_decoded(c, true);
    }
    EXPECT_EQ(decode_key("\x1b[[", true).consumed, 0u);
    expect_decoded({"\x1b[[", KEY_IGNORED, 3}, false);
    expect_decoded({"\x1b[[\r", KEY_IGNORED, 3}, true);
}

TEST(DecodeKey, TakesANulByteAsNoKey) {
    expect_decoded({std::string("\0a", 2), KEY_NONE, 1}, true);
    EXPECT_EQ(keys_of_reads({std::string("a\0\0b", 4)}), (std::vector<int>{'a', 'b'}));
}

TEST(DecodeKey, TakesCrLfAsOneEnter) {
    const DecodeCase cases[] = {
        {"\r\n", '\r', 2},   {"\r\nx", '\r', 2}, {"\r", '\r', 1},   {"\rx", '\r', 1},
        {"\r\r\n", '\r', 1}, {"\n", '\n', 1},    {"\n\r", '\n', 1}, {"\n\n", '\n', 1},
    };
    for (const DecodeCase& c : cases) {
        expect_decoded(c, true);
    }
}

TEST(KeyDecoder, JoinsTheLfOfACrLfThatCameInTheNextRead) {
    const struct {
        const char* what;
        std::vector<std::string> reads;
        std::vector<int> keys;
    } cases[] = {
        {"CR LF in one read", {"a\r\nb\r\n"}, {'a', '\r', 'b', '\r'}},
        {"CR ends one read, LF starts the next",
         {"ab\r", "\ncd\r"},
         {'a', 'b', '\r', 'c', 'd', '\r'}},
        {"the LF alone in the next read", {"a\r", "\n"}, {'a', '\r'}},
        {"a second LF is an Enter of its own", {"a\r", "\n\n"}, {'a', '\r', '\n'}},
        {"an LF after a CR LF is an Enter of its own", {"a\r\n", "\n"}, {'a', '\r', '\n'}},
        {"an LF that follows another key", {"a\r", "x\n"}, {'a', '\r', 'x', '\n'}},
        {"an LF before a CR", {"\n", "\r", "\n"}, {'\n', '\r'}},
        {"one CR per read", {"\r", "\r", "\n"}, {'\r', '\r'}},
        {"Alt+Enter, its LF in the next read", {"\x1b\r", "\nz"}, {KEY_IGNORED, 'z'}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keys_of_reads(c.reads), c.keys) << c.what;
    }
}

TEST(KeyDecoder, KeepsTheCrInMindWhileASequenceWaitsForMore) {
    KeyDecoder decoder;
    EXPECT_EQ(decode_key(decoder, "\r", true).consumed, 1u);
    EXPECT_EQ(decode_key(decoder, "\x1b", true).consumed, 0u);
    EXPECT_EQ(decode_key(decoder, "", true).consumed, 0u);
    const DecodedKey line_feed = decode_key(decoder, "\n", true);
    EXPECT_EQ(line_feed.key, KEY_NONE);
    EXPECT_EQ(line_feed.consumed, 1u);
    EXPECT_EQ(decode_key(decoder, "\n", true).key, '\n');
}

} // namespace
} // namespace morv
