#include "demo_folder.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

GeneratorRun match(const std::string& mode, const std::string& map_or_level) {
    GeneratorRun run;
    run.player_count = 2;
    run.mode = mode;
    if (mode == "M") {
        run.map_name = map_or_level;
    } else {
        run.level_number = map_or_level;
    }
    player_slot(run, 1) = {"Player1", 3, 12};
    player_slot(run, 2) = {"Viper", 7, 9};
    return run;
}

constexpr FileDate MARCH_5_2024 = {5, 3, 2024};

TEST(FolderName, JoinsPlayersMatchAndDate) {
    GeneratorRun three = match("L", "14");
    three.player_count = 3;
    player_slot(three, 1) = {"Hawk", 2, 3};
    player_slot(three, 2) = {"Viper", 7, -2};
    player_slot(three, 3) = {"Player3", 0, 0};
    GeneratorRun one = match("M", "ARENA");
    one.player_count = 1;
    player_slot(one, 1) = {"Solo", 1, 5};
    GeneratorRun eight = match("L", "5");
    eight.player_count = 8;
    for (int k = 1; k <= 8; ++k) {
        player_slot(eight, k) = {"P" + std::to_string(k), 0, k};
    }
    const struct {
        GeneratorRun run;
        FileDate date;
        std::string name;
    } cases[] = {
        {match("M", "ARENA"), MARCH_5_2024, "Player1[12]xViper[9]ARENA_05.03.2024"},
        {match("L", "5"), MARCH_5_2024, "Player1[12]xViper[9]L5_05.03.2024"},
        {match("M", ""), MARCH_5_2024, "Player1[12]xViper[9]_05.03.2024"},
        {match("L", ""), MARCH_5_2024, "Player1[12]xViper[9]L_05.03.2024"},
        {three, {30, 12, 1899}, "Hawk[3]xViper[-2]xPlayer3[0]L14_30.12.1899"},
        {one, MARCH_5_2024, "Solo[5]ARENA_05.03.2024"},
        {eight, {31, 12, 999}, "P1[1]xP2[2]xP3[3]xP4[4]xP5[5]xP6[6]xP7[7]xP8[8]L5_31.12.999"},
        {match("M", "maps\\ARENA"), {9, 10, 2023}, "Player1[12]xViper[9]maps\\ARENA_09.10.2023"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(folder_name_for_date(c.run, c.date), c.name);
    }
}

TEST(FolderName, AMissingDemoIsDatedTheThirtiethOfDecember1899) {
    GeneratorRun run = match("M", "ARENA");
    run.demo_name = "no such demo file here.dmo";
    EXPECT_EQ(compose_folder_name(run), "Player1[12]xViper[9]ARENA_30.12.1899");
}

TEST(KillsAnswer, IsTrimmedAndRoundedHalfToEven) {
    const struct {
        std::string answer;
        std::int32_t kills;
    } cases[] = {
        {"12", 12},
        {"  9  ", 9},
        {"2.5", 2},
        {"3.5", 4},
        {"-1", -1},
        {"", 0},
        {"none", 0},
        {"1e2", 100},
        {"&H10", 16},
        {"7 kills", 7},
        {"99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kills_from_answer(c.answer), c.kills) << c.answer;
    }
}

} // namespace
} // namespace morv
