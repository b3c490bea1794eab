#include "match_setup.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(PlayerCount, OutOfRangeBecomesTwo) {
    const struct {
        std::int32_t answer, count;
    } cases[] = {
        {1, 1}, {2, 2}, {8, 8}, {0, 2}, {9, 2}, {-1, 2}, {-2147483647 - 1, 2}, {2147483647, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(player_count_from_answer(c.answer), c.count) << c.answer;
    }
}

TEST(ModeAnswer, IsTrimmedCutToOneCharacterAndUpperCased) {
    const struct {
        std::string answer, mode;
    } cases[] = {
        {"m", "M"}, {" m", "M"}, {"Map", "M"}, {"level", "L"}, {"  L  ", "L"},
        {"q", "Q"}, {"", ""},    {"   ", ""},  {"\tm", "\t"},  {"lm", "L"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mode_from_answer(c.answer), c.mode) << c.answer;
    }
}

TEST(MapAnswer, GivesTheMapFileAndTheMapName) {
    const struct {
        std::string typed, file, name;
    } cases[] = {
        {"ARENA", "ARENA.map", "ARENA"},
        {"arena.MAP", "arena.MAP", "arena"},
        {"dm1.MaP", "dm1.MaP", "dm1"},
        {"dm1.map.old", "dm1.map.old", "dm1.map"},
        {"duel.2", "duel.2.map", "duel"},
        {"dm.2", "dm.2.map", "dm"},
        {"a.b", "a.b.map", "a"},
        {"", ".map", ""},
        {".map", ".map", ""},
        {"maps\\ARENA", "maps\\ARENA.map", "maps\\ARENA"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(map_file_from_typed(c.typed), c.file) << c.typed;
        EXPECT_EQ(map_name_from_typed(c.typed), c.name) << c.typed;
    }
}

TEST(PlayerName, IsTrimmedAndDefaultsToPlayerAndItsNumber) {
    const struct {
        std::string answer;
        int number;
        std::string name;
    } cases[] = {
        {"Viper", 2, "Viper"},  {"  Big Joe  ", 1, "Big Joe"}, {"", 1, "Player1"},
        {"    ", 7, "Player7"}, {"Joe, Jr.", 3, "Joe, Jr."},   {"\tTab", 1, "\tTab"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(player_name_from_answer(c.answer, c.number), c.name) << c.answer;
    }
}

TEST(ColourAnswer, RoundsHalfToEvenAndAcceptsOnlyZeroToSeven) {
    const struct {
        std::string answer;
        std::int32_t colour;
        bool accepted;
    } cases[] = {
        {"3", 3, true},     {"7", 7, true},   {"8", 8, false},   {"-1", -1, false},
        {"7.5", 8, false},  {"6.5", 6, true}, {"-0.4", 0, true}, {"", 0, true},
        {"red", 0, true},   {" 5 ", 5, true}, {"2.5", 2, true},  {"&H7", 7, true},
        {"1e1", 10, false}, {"4x", 4, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colour_from_answer(c.answer), c.colour) << c.answer;
        EXPECT_EQ(is_colour(colour_from_answer(c.answer)), c.accepted) << c.answer;
    }
}

} // namespace
} // namespace morv
