#include "demo_intake.h"

#include <array>
#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(DroppedFileName, CutsAtTheLastBackslashElseTheLastSlash) {
    const struct {
        std::string argument, name;
    } cases[] = {
        {"C:\\demos\\final.dmo", "final.dmo"},
        {"C:/demos/final.dmo", "final.dmo"},
        {"C:\\rec/final.dmo", "rec/final.dmo"},
        {"final.dmo", "final.dmo"},
        {"demos\\", ""},
        {"\\final.dmo", "final.dmo"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dropped_file_name(c.argument), c.name) << c.argument;
    }
}

TEST(DemoExtension, IsAddedOnlyWhenDotDmoOccursNowhere) {
    const struct {
        std::string name;
        bool lacks;
        std::string completed; // when it lacks the extension
    } cases[] = {
        {"final", true, "final.dmo"},
        {"final.", true, "final.dmo"},
        {"final  ", true, "final.dmo"},
        {"  final", true, "final.dmo"},
        {"", true, ".dmo"},
        {"final.txt", true, "final.txt.dmo"},
        {"final.dmo", false, ""},
        {"FINAL.DmO", false, ""},
        {"x.dmo.bak", false, ""},
        {"final .dmo", false, ""},
        {"final.dm", true, "final.dm.dmo"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lacks_demo_extension(c.name), c.lacks) << c.name;
        if (c.lacks) {
            EXPECT_EQ(with_demo_extension(c.name), c.completed) << c.name;
        }
    }
}

TEST(DemoBaseName, IsTheNameBeforeItsLastDotTrimmed) {
    const struct {
        std::string name, base;
    } cases[] = {
        {"final.dmo", "final"},
        {"final .dmo", "final"},
        {"x.dmo.bak", "x.dmo"},
        {".dmo", ""},
        {"noextension", "noextension"},
        {"championship.dmo", "championship"},
        {"rec/final.dmo", "rec/final"},
        {"My Demo Final.dmo", "My Demo Final"},
        {"..\\rec\\longmatchname.dmo", "..\\rec\\longmatchname"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(demo_base_name(c.name), c.base) << c.name;
    }
}

TEST(YesNoAnswer, TakesTheFirstCharacterThenTrimsThenUpperCases) {
    const struct {
        std::string answer, result;
    } cases[] = {
        {"y", "Y"}, {"Y", "Y"}, {"yes", "Y"}, {"n", "N"},    {"No", "N"},
        {"", ""},   {"x", "X"}, {" y", ""},   {"\ty", "\t"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(yes_no_answer(c.answer), c.result) << c.answer;
    }
}

TEST(NameSeed, IsTheTimersWholeSecondsIn32Bits) {
    const struct {
        double seconds;
        std::uint32_t seed;
    } cases[] = {
        {0.0, 0U},          {0.999, 0U},        {12345.75, 12345U}, {4294967295.5, 4294967295U},
        {4294967296.0, 0U}, {4294967298.9, 2U}, {-3.0, 0U},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(name_seed(c.seconds), c.seed) << c.seconds;
    }
}

TEST(NameSeedSequence, FillsWordZeroWithTheSeedAndTheRestByTheLcgStep) {
    std::array<std::uint32_t, 4> words{};
    NameSeedSequence{1U}.generate(words.begin(), words.end());
    EXPECT_EQ(words, (std::array<std::uint32_t, 4>{1U, 1015568748U, 1586005467U, 2165703038U}));
    std::array<std::uint32_t, 3> from_zero{};
    NameSeedSequence{0U}.generate(from_zero.begin(), from_zero.end());
    EXPECT_EQ(from_zero, (std::array<std::uint32_t, 3>{0U, 1013904223U, 1196435762U}));
}

// The textbook MT19937: one twist over a state filled by the LCG rule, then
// the tempering of each word.
std::array<std::uint32_t, 8> reference_outputs(std::uint32_t seed) {
    constexpr std::size_t n = 624;
    constexpr std::size_t m = 397;
    std::array<std::uint32_t, n> state{};
    state[0] = seed;
    for (std::size_t i = 1; i < n; ++i) {
        state[i] = state[i - 1] * 1664525U + 1013904223U;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t y = (state[i] & 0x80000000U) | (state[(i + 1) % n] & 0x7fffffffU);
        state[i] = state[(i + m) % n] ^ (y >> 1) ^ ((y & 1U) != 0 ? 0x9908b0dfU : 0U);
    }
    std::array<std::uint32_t, 8> outputs{};
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        std::uint32_t y = state[i];
        y ^= y >> 11;
        y ^= (y << 7) & 0x9d2c5680U;
        y ^= (y << 15) & 0xefc60000U;
        y ^= y >> 18;
        outputs[i] = y;
    }
    return outputs;
}

TEST(NameGenerator, DrawsTheTemperedOutputsOfTheLcgFilledStateScaledBy2ToTheMinus32) {
    for (const std::uint32_t seed : {0U, 1U, 86400U, 4294967295U}) {
        std::mt19937 generator = seeded_name_generator(seed);
        for (const std::uint32_t output : reference_outputs(seed)) {
            EXPECT_EQ(next_name_draw(generator), output / 4294967296.0) << seed;
        }
    }
}

TEST(NameGenerator, TheSameSeedGivesTheSameDrawsAndAnotherSeedOthers) {
    std::mt19937 first = seeded_name_generator(1000U);
    std::mt19937 again = seeded_name_generator(1000U);
    std::mt19937 other = seeded_name_generator(1001U);
    int differing = 0;
    for (int i = 0; i < 20; ++i) {
        const double draw = next_name_draw(first);
        EXPECT_GE(draw, 0.0);
        EXPECT_LT(draw, 1.0);
        EXPECT_EQ(draw, next_name_draw(again));
        differing += draw != next_name_draw(other) ? 1 : 0;
    }
    EXPECT_GT(differing, 15);
}

TEST(AlternativeStem, KeepsSevenCharactersAndPicksTheAlphabetCharacterOfTheDraw) {
    const struct {
        std::string base;
        double draw;
        std::string stem;
    } cases[] = {
        {"championship", 0.0, "champioa"},
        {"championship", 1.5 / 36.0, "champiob"},
        {"championship", 25.5 / 36.0, "champioz"},
        {"championship", 26.5 / 36.0, "champio0"},
        {"championship", 0.5, "champios"},
        {"championship", 4294967295.0 / 4294967296.0, "champio9"},
        {"My Demo Final", 0.0, "My Demoa"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(alternative_stem(c.base, c.draw), c.stem) << c.draw;
    }
}

} // namespace
} // namespace morv
