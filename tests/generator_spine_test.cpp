// morvmake's frame around the stages, in a pipe: where the demo's name comes
// from, the banner, the closing summary and the exit status.
#include "generator_dialogue.h"
#include "program_runner.h"

#include <gtest/gtest.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const std::string NO_ARGUMENT_NOTICE =
    lines({"ITAIIIUUUU!! Drag'n'drop .DMO on !MORVMAKE.EXE you bakayaro.",
           "...but since you're seeing this, you can also enter .DMO name manually"});

void expect_clean_end(const ProgramRun& run) {
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0);
}

TEST(GeneratorSpine, ATypedNameWithoutExtensionGetsItAndNoBlankLineFollows) {
    ScratchFolder folder;
    write_file(folder.path / "duel01.dmo", "demo bytes");
    set_local_date(folder.path / "duel01.dmo", 2023, 10, 9);
    const ProgramRun run =
        run_program({built_program("morvmake")}, "duel01\n" + SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, NO_ARGUMENT_NOTICE + lines({"Enter demo name: "}) +
                              banner("duel01.dmo", "duel01.MORV") +
                              solo_level_dialogue("Hawk[3]L5_09.10.2023", COPY_SUCCESS) +
                              closing("duel01.MORV", "duel01.dmo", 1));
    EXPECT_EQ(read_file(folder.path / "Hawk[3]L5_09.10.2023" / "duel01.dmo"), "demo bytes");
}

TEST(GeneratorSpine, TheScriptsExtensionIsUpperCaseWhateverTheDemos) {
    const struct {
        std::string argument, demo, script;
    } cases[] = {
        {"duel.DMO", "duel.DMO", "duel.MORV"},
        {"duel.dmo", "duel.dmo", "duel.MORV"},
        {"C:\\demos\\final.dmo", "final.dmo", "final.MORV"},
        {"C:\\demos\\final", "final.dmo", "final.MORV"},
        {"x.dmo.bak", "x.dmo.bak", "x.dmo.MORV"},
    };
    for (const auto& c : cases) {
        ScratchFolder folder;
        const ProgramRun run =
            run_program({built_program("morvmake"), c.argument}, SOLO_LEVEL_ANSWERS, folder.path);
        expect_clean_end(run);
        EXPECT_EQ(run.output.rfind(banner(c.demo, c.script), 0), 0U) << c.argument;
        EXPECT_NE(run.output.find(closing(c.script, c.demo, 1)), std::string::npos) << c.argument;
        EXPECT_TRUE(fs::is_regular_file(folder.path / c.script)) << c.argument;
    }
}

TEST(GeneratorSpine, AnOutOfRangePlayerCountGivesTwoDefaultPlayers) {
    ScratchFolder folder;
    const ProgramRun run =
        run_program({built_program("morvmake"), "duel.dmo"}, "9\nl\n\n\n\n\n\n\n\n", folder.path);
    expect_clean_end(run);
    EXPECT_NE(run.output.find(lines({"Kills for Player1: ", "Kills for Player2: "})),
              std::string::npos);
    EXPECT_NE(run.output.find("Creating demo folder: Player1[0]xPlayer2[0]L_30.12.1899\r\n"),
              std::string::npos);
    const std::string summary = closing("duel.MORV", "duel.dmo", 2);
    EXPECT_EQ(run.output.substr(run.output.size() - summary.size()), summary);
    const std::string script = read_file(folder.path / "duel.MORV");
    EXPECT_EQ(script.rfind("PLAYERS = 2\r\n---\r\n", 0), 0U);
    EXPECT_NE(script.find("vcommit sw.exe -dpduel.dmo -autonet 0,3,0,1,1,0,20,0,0,0 -name "
                          "Player2\r\nINSTANCE3 = \r\n"),
              std::string::npos);
}

TEST(GeneratorSpine, TheEndOfTheInputAtTheMapOrLevelQuestionEndsTheRun) {
    ScratchFolder folder;
    const ProgramRun run =
        run_program({built_program("morvmake"), "final.dmo"}, "2\nx\n", folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, banner("final.dmo", "final.MORV") +
                              lines({"Enter number of players (1-8): ", "", "Use -map or -level?",
                                     "(M)ap or (L)evel: ", "(M)ap or (L)evel: ", "Input ended."}));
    EXPECT_TRUE(fs::is_empty(folder.path));
}

TEST(GeneratorSpine, NoInputAtAllStillEndsCleanly) {
    ScratchFolder folder;
    const ProgramRun run = run_program({built_program("morvmake")}, "", folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, NO_ARGUMENT_NOTICE + lines({"Enter demo name: "}) +
                              banner(".dmo", ".MORV") +
                              lines({"Enter number of players (1-8): ", "", "Use -map or -level?",
                                     "(M)ap or (L)evel: ", "Input ended."}));
}

} // namespace
} // namespace morv_test
