#include "field.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(FirstField, SkipsLeadingBlanksAndStopsAtTheCommaOrQuote) {
    const struct {
        std::string line, field;
    } cases[] = {
        {"  Joe Smith  , x", "Joe Smith  "},
        {"\"a, b\" c", "a, b"},
        {"\"abc", "abc"},
        {"ab\"c", "ab\"c"},
        {"", ""},
        {"   \t ", ""},
        {"\t x", "x"},
        {"a,b.dmo", "a"},
        {"\" y\"", " y"},
        {"\"\"rest", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(first_field(c.line), c.field) << c.line;
    }
}

TEST(FirstField, TakesAtMost4096Bytes) {
    EXPECT_EQ(first_field(std::string(5000, 'x')).size(), 4096u);
    EXPECT_EQ(first_field("\"" + std::string(5000, 'x')).size(), 4096u);
}

TEST(FirstIntegerField, StopsAtABlankTabOrComma) {
    const struct {
        std::string line, field;
    } cases[] = {
        {"4", "4"},           {" 7 8", "7"}, {"3,5", "3"}, {"\t12\tx", "12"},
        {"\"1 2\" 3", "1 2"}, {"", ""},      {"  ", ""},   {"12abc", "12abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(first_integer_field(c.line), c.field) << c.line;
    }
    EXPECT_EQ(first_integer_field(std::string(100, '1')).size(), 67u);
}

TEST(FirstIntegerField, GoesOnAfterAQuotedStretch) {
    const std::string sixty_seven(67, '7');
    const struct {
        std::string line, field;
    } cases[] = {
        {"\"\"4", "4"},
        {"\"1\".5", "1.5"},
        {"\"3\"9", "39"},
        {"  \"3\"9 8", "39"},
        {"\"3\"9,8", "39"},
        {"\"3\"9\t8", "39"},
        {"\"1 2\" 3", "1 2"},
        {"\"1,2\",3", "1,2"},
        {"\"4\"", "4"},
        {"\"\"", ""},
        {"\"", ""},
        {"\"12 3", "12 3"},
        {"\"1\"2\"3\"", "12\"3\""},
        {"4\"5\"", "4\"5\""},
        {"\"" + sixty_seven + "8\"9", sixty_seven},
        {"\"" + std::string(60, '1') + "\"" + std::string(10, '2'),
         std::string(60, '1') + std::string(7, '2')},
        {"\"" + std::string(67, '1') + "\"2", std::string(67, '1')},
        {"\"" + std::string(66, '1') + "\"23", std::string(66, '1') + "2"},
        {"\"" + std::string(70, '1'), std::string(67, '1')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(first_integer_field(c.line), c.field) << c.line;
    }
}

} // namespace
} // namespace morv
