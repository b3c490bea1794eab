#include "text.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(TrimSpaces, RemovesOnlyBlanksAtTheStartAndBlanksOrZerosAtTheEnd) {
    const struct {
        std::string in, out;
    } cases[] = {
        {"  abc  ", "abc"},
        {"\tabc ", "\tabc"},
        {"abc\t", "abc\t"},
        {std::string("ab \0 \0", 6), "ab"},
        {std::string("\0ab", 3), std::string("\0ab", 3)},
        {"    ", ""},
        {"", ""},
        {" a b ", "a b"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trim_spaces(c.in), c.out) << c.in;
    }
}

TEST(UpperAscii, ChangesOnlyLowerCaseLetters) {
    EXPECT_EQ(upper_ascii("aZz09.dmo\xe4"), "AZZ09.DMO\xe4");
}

TEST(Parts, CutByPositionsFromOne) {
    EXPECT_EQ(left_part("hello", 9), "hello");
    EXPECT_EQ(left_part("hello", 0), "");
    EXPECT_EQ(left_part("hello", -3), "");
    EXPECT_EQ(right_part("hello", 0), "");
    EXPECT_EQ(right_part("hello", 2), "lo");
    EXPECT_EQ(right_part("hello", 99), "hello");
    EXPECT_EQ(mid_part("hello", 2, 3), "ell");
    EXPECT_EQ(mid_part("hello", 4), "lo");
    EXPECT_EQ(mid_part("hello", 4, 99), "lo");
    EXPECT_EQ(mid_part("hello", 6), "");
    EXPECT_EQ(mid_part("hello", 0), "");
    EXPECT_EQ(mid_part("hello", 1, 0), "");
    EXPECT_EQ(mid_part("", 1), "");
}

TEST(Find, GivesTheOneBasedPositionOrZero) {
    EXPECT_EQ(find_first("abcabc", "bc"), 2);
    EXPECT_EQ(find_last("abcabc", "bc"), 5);
    EXPECT_EQ(find_last("aaa", "aa"), 2);
    EXPECT_EQ(find_first("abc", ""), 0);
    EXPECT_EQ(find_last("abc", ""), 0);
    EXPECT_EQ(find_first("", "a"), 0);
    EXPECT_EQ(find_first("ab", "abc"), 0);
    EXPECT_EQ(find_first("abc", "x"), 0);
}

TEST(IntToText, HasNoBlankAndAFullMinimum) {
    EXPECT_EQ(int_to_text(0), "0");
    EXPECT_EQ(int_to_text(-5), "-5");
    EXPECT_EQ(int_to_text(12), "12");
    EXPECT_EQ(int_to_text(INT32_MIN), "-2147483648");
}

} // namespace
} // namespace morv
