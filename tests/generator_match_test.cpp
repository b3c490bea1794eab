// Whole morvmake runs in a pipe: the dialogue, the launch script and the demo
// folder of a map match, a level match and a match with neither option.
#include "generator_dialogue.h"
#include "program_runner.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const std::string DUEL_ANSWERS = "2\nm\nARENA\n\n3\nViper\n9\n7\n12\n9\n";

const std::string DUEL_SETUP =
    lines({"Enter number of players (1-8): ", "", "Use -map or -level?", "(M)ap or (L)evel: ",
           "Must be below 8 symbols due to Dos limits!", "Enter map name: "}) +
    COLOUR_LEGEND_LINES +
    lines({"Player 1 Name: ", "Player 1 Color (0-7): ", "Player 2 Name: ", "Player 2 Color (0-7): ",
           "Player 2 Color (0-7): "});

const std::string DUEL_KILLS =
    lines({"", "=== Enter kills ===", "", "Kills for Player1: ", "Kills for Viper: ", "", "",
           "Creating demo folder: Player1[12]xViper[9]ARENA_05.03.2024"});

const std::string DUEL_SCRIPT = lines({
    "PLAYERS = 2",
    "---",
    "INSTANCE1 = MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 -nodes 2 vcommit "
    "sw.exe -dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,3,0 -name Player1",
    "INSTANCE2 = MOUNT C . & C: & ipxnet connect localhost & ipxsetup -player 2 -nodes 2 "
    "vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,7,0 -name Viper",
    "INSTANCE3 = ",
    "INSTANCE4 = ",
    "INSTANCE5 = ",
    "INSTANCE6 = ",
    "INSTANCE7 = ",
    "INSTANCE8 = ",
});

void write_demo(const fs::path& path, const std::string& bytes) {
    write_file(path, bytes);
    set_local_date(path, 2024, 3, 5);
}

void expect_clean_end(const ProgramRun& run) {
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0);
}

TEST(GeneratorMatch, MapDuelWritesTheScriptAndTheFolderWithItsThreeCopies) {
    ScratchFolder folder;
    write_demo(folder.path / "DUEL01.DMO", "demo bytes");
    write_file(folder.path / "ARENA.map", "map bytes");
    const ProgramRun run =
        run_program({built_program("morvmake"), "DUEL01.DMO"}, DUEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, banner("DUEL01.DMO", "DUEL01.MORV") + DUEL_SETUP + DUEL_KILLS +
                              COPY_SUCCESS + closing("DUEL01.MORV", "DUEL01.DMO", 2));
    EXPECT_EQ(read_file(folder.path / "DUEL01.MORV"), DUEL_SCRIPT);
    const fs::path demo_folder = folder.path / "Player1[12]xViper[9]ARENA_05.03.2024";
    EXPECT_EQ(read_file(demo_folder / "DUEL01.DMO"), "demo bytes");
    EXPECT_EQ(read_file(demo_folder / "DUEL01.MORV"), DUEL_SCRIPT);
    EXPECT_EQ(read_file(demo_folder / "ARENA.map"), "map bytes");
    EXPECT_EQ(std::distance(fs::directory_iterator(demo_folder), fs::directory_iterator()), 3);
}

TEST(GeneratorMatch, ASecondRunReusesTheFolderAndReplacesItsFiles) {
    ScratchFolder folder;
    write_demo(folder.path / "DUEL01.DMO", "demo bytes");
    write_file(folder.path / "ARENA.map", "map bytes");
    const fs::path demo_folder = folder.path / "Player1[12]xViper[9]ARENA_05.03.2024";
    fs::create_directory(demo_folder);
    write_file(demo_folder / "DUEL01.MORV",
               "an older script that is longer than the new one" + std::string(2000, '.'));
    write_file(folder.path / "DUEL01.MORV", "an older script");
    const ProgramRun run =
        run_program({built_program("morvmake"), "DUEL01.DMO"}, DUEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_NE(run.output.find(lines({"Demo folder generated successfully!", "", "BANZAI!!"})),
              std::string::npos);
    EXPECT_EQ(read_file(folder.path / "DUEL01.MORV"), DUEL_SCRIPT);
    EXPECT_EQ(read_file(demo_folder / "DUEL01.MORV"), DUEL_SCRIPT);
}

TEST(GeneratorMatch, AMissingMapIsReportedAndTheRunGoesOnToTheSummary) {
    ScratchFolder folder;
    write_demo(folder.path / "DUEL01.DMO", "demo bytes");
    const ProgramRun run =
        run_program({built_program("morvmake"), "DUEL01.DMO"}, DUEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, banner("DUEL01.DMO", "DUEL01.MORV") + DUEL_SETUP + DUEL_KILLS +
                              COPY_FAILURE_HEAD +
                              lines({"  - Failed to copy .MAP (file not found?)"}) +
                              closing("DUEL01.MORV", "DUEL01.DMO", 2));
    const fs::path demo_folder = folder.path / "Player1[12]xViper[9]ARENA_05.03.2024";
    EXPECT_EQ(read_file(demo_folder / "DUEL01.DMO"), "demo bytes");
    EXPECT_EQ(read_file(demo_folder / "DUEL01.MORV"), DUEL_SCRIPT);
    EXPECT_FALSE(fs::exists(demo_folder / "ARENA.map"));
    EXPECT_EQ(read_file(folder.path / "DUEL01.MORV"), DUEL_SCRIPT);
}

// Cut at the NUL, the folder's name would end before the map's and a stray
// folder would be made; the name is refused whole instead.
// A map or player name holding what morvplay refuses in a launch script is
// refused at its prompt and asked again; the run then goes on as typed next.
TEST(GeneratorMatch, NamesALaunchScriptCannotHoldAreAskedAgain) {
    const std::string refusal = "A name cannot hold & \" < > | or control characters.";
    const struct {
        const char* prompt;
        const char* typed; // answered before it, at the same prompt
        std::string answer;
    } cases[] = {
        {"Enter map name: ", "ARENA", std::string(1, '\0') + "j"},
        {"Enter map name: ", "ARENA", "AR&NA"},
        {"Player 2 Name: ", "Viper", "R&D"},
        {"Player 2 Name: ", "Viper", "x\" -conf other.conf"},
        {"Player 2 Name: ", "Viper", "a > b"},
        {"Player 2 Name: ", "Viper", "a < b"},
        {"Player 2 Name: ", "Viper", "a | b"},
        {"Player 2 Name: ", "Viper", "\x1b[2J"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        ScratchFolder folder;
        write_demo(folder.path / "DUEL01.DMO", "demo bytes");
        write_file(folder.path / "ARENA.map", "map bytes");
        std::string answers = DUEL_ANSWERS;
        answers.insert(answers.find(std::string("\n") + c.typed + "\n") + 1, c.answer + "\n");
        std::string setup = DUEL_SETUP;
        const std::string prompt = std::string(c.prompt) + "\r\n";
        setup.insert(setup.find(prompt) + prompt.size(), lines({refusal, c.prompt}));
        const ProgramRun run =
            run_program({built_program("morvmake"), "DUEL01.DMO"}, answers, folder.path);
        expect_clean_end(run);
        EXPECT_EQ(run.output, banner("DUEL01.DMO", "DUEL01.MORV") + setup + DUEL_KILLS +
                                  COPY_SUCCESS + closing("DUEL01.MORV", "DUEL01.DMO", 2));
        EXPECT_EQ(read_file(folder.path / "DUEL01.MORV"), DUEL_SCRIPT);
    }
}

TEST(GeneratorMatch, LevelMatchShowsTheMenuAndCopiesNoMap) {
    ScratchFolder folder;
    write_demo(folder.path / "CTF3.DMO", "ctf demo");
    const ProgramRun run = run_program({built_program("morvmake"), "CTF3.DMO"},
                                       "3\nL\n5\nHawk\n2\nViper\n7\n\n0\n3\n-2\n0\n", folder.path);
    expect_clean_end(run);
    const std::string name = "Hawk[3]xViper[-2]xPlayer3[0]L5_05.03.2024";
    EXPECT_EQ(run.output,
              banner("CTF3.DMO", "CTF3.MORV") +
                  lines({"Enter number of players (1-8): ", "", "Use -map or -level?",
                         "(M)ap or (L)evel: "}) +
                  LEVEL_MENU + lines({"Enter level number: "}) + COLOUR_LEGEND_LINES +
                  lines({"Player 1 Name: ", "Player 1 Color (0-7): ", "Player 2 Name: ",
                         "Player 2 Color (0-7): ", "Player 3 Name: ", "Player 3 Color (0-7): ", "",
                         "=== Enter kills ===", "", "Kills for Hawk: ", "Kills for Viper: ",
                         "Kills for Player3: ", "", "", "Creating demo folder: " + name}) +
                  COPY_SUCCESS + closing("CTF3.MORV", "CTF3.DMO", 3));
    const std::string script = lines({
        "PLAYERS = 3",
        "---",
        "INSTANCE1 = MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 -nodes 3 vcommit "
        "sw.exe -dpCTF3.DMO -level5 -autonet 0,3,0,1,1,0,20,0,2,0 -name Hawk",
        "INSTANCE2 = MOUNT C . & C: & ipxnet connect localhost & ipxsetup -player 2 -nodes 3 "
        "vcommit sw.exe -dpCTF3.DMO -level5 -autonet 0,3,0,1,1,0,20,0,7,0 -name Viper",
        "INSTANCE3 = MOUNT C . & C: & ipxnet connect localhost & ipxsetup -player 3 -nodes 3 "
        "vcommit sw.exe -dpCTF3.DMO -level5 -autonet 0,3,0,1,1,0,20,0,0,0 -name Player3",
        "INSTANCE4 = ",
        "INSTANCE5 = ",
        "INSTANCE6 = ",
        "INSTANCE7 = ",
        "INSTANCE8 = ",
    });
    EXPECT_EQ(read_file(folder.path / "CTF3.MORV"), script);
    EXPECT_EQ(read_file(folder.path / name / "CTF3.DMO"), "ctf demo");
    EXPECT_EQ(read_file(folder.path / name / "CTF3.MORV"), script);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path / name), fs::directory_iterator()),
              2);
}

// An empty map name writes no -map option, though ".map" is still copied.
TEST(GeneratorMatch, AnEmptyMapNameWritesNeitherOption) {
    ScratchFolder folder;
    write_demo(folder.path / "SOLO.dmo", "solo demo");
    const ProgramRun run = run_program({built_program("morvmake"), "SOLO.dmo"},
                                       "1\nM\n\n  Big Joe  \n4\n5\n", folder.path);
    expect_clean_end(run);
    const std::string name = "Big Joe[5]_05.03.2024";
    EXPECT_EQ(run.output,
              banner("SOLO.dmo", "SOLO.MORV") +
                  lines({"Enter number of players (1-8): ", "", "Use -map or -level?",
                         "(M)ap or (L)evel: ", "Must be below 8 symbols due to Dos limits!",
                         "Enter map name: "}) +
                  COLOUR_LEGEND_LINES +
                  lines({"Player 1 Name: ", "Player 1 Color (0-7): ", "", "=== Enter kills ===", "",
                         "Kills for Big Joe: ", "", "", "Creating demo folder: " + name}) +
                  COPY_FAILURE_HEAD + lines({"  - Failed to copy .MAP (file not found?)"}) +
                  closing("SOLO.MORV", "SOLO.dmo", 1));
    EXPECT_EQ(read_file(folder.path / "SOLO.MORV"),
              lines({"PLAYERS = 1", "---",
                     "INSTANCE1 = MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 "
                     "-nodes 1 vcommit sw.exe -dpSOLO.dmo -autonet 0,3,0,1,1,0,20,0,4,0 -name "
                     "Big Joe",
                     "INSTANCE2 = ", "INSTANCE3 = ", "INSTANCE4 = ", "INSTANCE5 = ", "INSTANCE6 = ",
                     "INSTANCE7 = ", "INSTANCE8 = "}));
    EXPECT_EQ(read_file(folder.path / name / "SOLO.dmo"), "solo demo");
}

} // namespace
} // namespace morv_test
