#include "number.h"

#include <cmath>
#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(ParseNumber, ReadsRadixDecimalAndOddForms) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"", 0},
        {"  42", 42},
        {"4 2", 4},
        {"+3", 3},
        {"12abc", 12},
        {"1.5", 1.5},
        {"1e3", 1000},
        {"1d3", 1000},
        {"1D3", 1000},
        {"-7", -7},
        {".5", 0.5},
        {"1,5", 1},
        {"abc", 0},
        {"&H1F", 31},
        {"&h1f", 31},
        {"&17", 15},
        {"&O17", 15},
        {"&B101", 5},
        {"&HFFFFFFFFFFFFFFFF", -1},
        {"&HZ", 0},
        {"0x10", 0},
        {"0X1F", 0},
        {"\t5", 5},
        {"&", 0},
        {"0", 0},
        {"  -2.5e1x", -25},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_number(c.text), c.value) << c.text;
    }
    EXPECT_TRUE(std::isinf(parse_number("inf")));
    EXPECT_TRUE(std::isnan(parse_number("NaN")));
}

TEST(RoundToInt, RoundsHalvesToEvenAndMarksOutOfRange) {
    const struct {
        double value;
        std::int32_t result;
    } cases[] = {
        {2.5, 2},
        {3.5, 4},
        {-2.5, -2},
        {0.5, 0},
        {-0.4, 0},
        {6.5, 6},
        {7.5, 8},
        {1.2, 1},
        {-1.7, -2},
        {2147483647.0, INT32_MAX},
        {-2147483648.0, INT32_MIN},
        {2147483647.5, INT32_MIN},
        {3e9, INT32_MIN},
        {-3e9, INT32_MIN},
        {INFINITY, INT32_MIN},
        {-INFINITY, INT32_MIN},
        {NAN, INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(round_to_int(c.value), c.result) << c.value;
    }
}

TEST(IntegerFieldValue, FollowsTheIntegerRules) {
    const struct {
        const char* field;
        std::int32_t value;
    } cases[] = {
        {"4", 4},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"2.5", 2},
        {"3.5", 4},
        {"1e1", 10},
        {"&H10", 16},
        {"&HFFFFFFFF", -1},
        {"&H100000001", 1},
        {"0x10", 0},
        {"-3", -3},
        {"+8", 8},
        {"99999999999", -1},
        {"2147483648", INT32_MIN},
        {"4294967295", -1},
        {"4294967294", -2},
        {"-5", -5},
        {"-", 0},
        {"red", 0},
        {"&HE", 14},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(integer_field_value(c.field), c.value) << c.field;
    }
}

} // namespace
} // namespace morv
