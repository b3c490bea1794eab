#include "launch_script.h"
#include "scratch_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace morv {
namespace {

GeneratorRun map_mode_duel() {
    GeneratorRun run;
    run.demo_name = "DUEL01.DMO";
    run.player_count = 2;
    run.mode = "M";
    run.map_name = "ARENA";
    run.map_file = "ARENA.map";
    player_slot(run, 1) = {"Player1", 3, 0};
    player_slot(run, 2) = {"Viper", 7, 0};
    return run;
}

GeneratorRun level_mode_three() {
    GeneratorRun run;
    run.demo_name = "CTF3.DMO";
    run.player_count = 3;
    run.mode = "L";
    run.level_number = "5";
    player_slot(run, 1) = {"Hawk", 2, 0};
    player_slot(run, 2) = {"Viper", 7, 0};
    player_slot(run, 3) = {"Player3", 0, 0};
    return run;
}

// One player; in map mode the typed map name is already cut into its two fields.
GeneratorRun solo(const std::string& mode, const std::string& level_or_map_name,
                  const std::string& map_file = "") {
    GeneratorRun run;
    run.demo_name = "SOLO.dmo";
    run.player_count = 1;
    run.mode = mode;
    if (mode == "M") {
        run.map_name = level_or_map_name;
        run.map_file = map_file;
    } else {
        run.level_number = level_or_map_name;
    }
    player_slot(run, 1) = {"Big Joe", 4, 0};
    return run;
}

const std::string HOST = "MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 -nodes ";

TEST(InstanceValue, FollowsThePiecesForEveryMatchOption) {
    const struct {
        GeneratorRun run;
        int number;
        std::string value;
    } cases[] = {
        {solo("L", ""), 1,
         HOST + "1 vcommit sw.exe -dpSOLO.dmo -autonet 0,3,0,1,1,0,20,0,4,0 -name Big Joe"},
        {solo("M", "", ".map"), 1,
         HOST + "1 vcommit sw.exe -dpSOLO.dmo -autonet 0,3,0,1,1,0,20,0,4,0 -name Big Joe"},
        {solo("L", "abc"), 1,
         HOST + "1 vcommit sw.exe -dpSOLO.dmo -levelabc -autonet 0,3,0,1,1,0,20,0,4,0 "
                "-name Big Joe"},
        {solo("L", "05"), 1,
         HOST + "1 vcommit sw.exe -dpSOLO.dmo -level05 -autonet 0,3,0,1,1,0,20,0,4,0 "
                "-name Big Joe"},
        {solo("M", "dm", "dm.2.map"), 1,
         HOST + "1 vcommit sw.exe -dpSOLO.dmo -map dm.2.map -autonet 0,3,0,1,1,0,20,0,4,0 "
                "-name Big Joe"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compose_instance_value(c.run, c.number), c.value);
    }
}

TEST(InstanceValue, MapFieldsAreIgnoredInLevelModeAndTheOtherWayRound) {
    GeneratorRun run = solo("L", "");
    run.map_name = "ARENA";
    run.map_file = "ARENA.map";
    EXPECT_EQ(compose_instance_value(run, 1).find("-map"), std::string::npos);
    run = solo("M", "");
    run.level_number = "5";
    EXPECT_EQ(compose_instance_value(run, 1).find("-level"), std::string::npos);
}

TEST(LaunchScriptLines, AreTenWithEmptyInstancesAboveTheCount) {
    const std::vector<std::string> lines = launch_script_lines(solo("M", "ARENA", "ARENA.map"));
    ASSERT_EQ(lines.size(), 10u); // the count, "---" and one line per possible player
    EXPECT_EQ(lines[0], "PLAYERS = 1");
    EXPECT_EQ(lines[1], "---");
    EXPECT_EQ(lines[2],
              "INSTANCE1 = " + compose_instance_value(solo("M", "ARENA", "ARENA.map"), 1));
    for (std::size_t k = 2; k <= 8; ++k) {
        EXPECT_EQ(lines[k + 1], "INSTANCE" + std::to_string(k) + " = ");
    }
}

TEST(LaunchScriptLines, EightPlayersFillEveryInstanceAndAllButTheFirstJoin) {
    GeneratorRun run = map_mode_duel();
    run.player_count = 8;
    for (int k = 3; k <= 8; ++k) {
        player_slot(run, k) = {"P" + std::to_string(k), k - 1, 0};
    }
    const std::vector<std::string> lines = launch_script_lines(run);
    ASSERT_EQ(lines.size(), 10U);
    EXPECT_EQ(lines[0], "PLAYERS = 8");
    EXPECT_NE(lines[2].find("ipxnet startserver & ipxsetup -player 1 -nodes 8 "),
              std::string::npos);
    for (std::size_t k = 2; k <= 8; ++k) {
        EXPECT_EQ(lines[k + 1].rfind("INSTANCE" + std::to_string(k) +
                                         " = MOUNT C . & C: & ipxnet connect localhost & "
                                         "ipxsetup -player " +
                                         std::to_string(k) + " -nodes 8 ",
                                     0),
                  0U)
            << lines[k + 1];
    }
}

TEST(WriteLaunchScript, WritesEveryLineWithCrLfAndReplacesAnOlderFile) {
    const morv_test::ScratchFolder folder("morv-launch-script-");
    GeneratorRun run = level_mode_three();
    run.script_name = (folder.path / "CTF3.MORV").string();
    std::ofstream(run.script_name, std::ios::binary) << std::string(20000, 'x');
    write_launch_script(run);
    std::string expected;
    for (const std::string& line : launch_script_lines(run)) {
        expected += line + "\r\n";
    }
    EXPECT_EQ(morv_test::read_file(run.script_name), expected);
    EXPECT_NE(expected.find("INSTANCE4 = \r\nINSTANCE5 = \r\n"), std::string::npos);
}

} // namespace
} // namespace morv
