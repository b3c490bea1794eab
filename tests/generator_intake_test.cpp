// morvmake's demo intake in a pipe: a base name above 8 characters, the
// renames with their random alternatives, and both questions.
#include "generator_dialogue.h"
#include "program_runner.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const std::string ALPHABET = "abcdefghijklmnopqrstuvwxyz0123456789";

const std::string ALTERNATIVES_NOTICE =
    lines({"DMO with the same name already exists, or you're trying to rename the DMO that is "
           "not in the folder adjacent to !MORVMAKE. Trying alternative names...",
           ""});

std::string long_name_notice(const std::string& base) {
    return lines({"",
                  "YOU VERY BAD MAN!! Your .DMO is above 8 symbols in length, which is beyond "
                  "the DOS limit!",
                  "Original : " + base + " (" + std::to_string(base.size()) + " chars)", ""});
}

const std::string FIRST_QUESTION = "Continue and rename file to 8 chars? (Y/N): ";
const std::string SECOND_QUESTION = "Want to proceed anyway with truncated name? (Y/N): ";

// The characters the run drew, in order, from its "Trying: <stem7>?.dmo" lines.
std::string drawn_characters(const std::string& output, const std::string& stem7) {
    const std::string mark = "\r\nTrying: " + stem7;
    std::string drawn;
    for (std::size_t at = output.find(mark); at != std::string::npos;
         at = output.find(mark, at + 1)) {
        drawn += output[at + mark.size()];
    }
    return drawn;
}

std::string tries_of(const std::string& stem7, const std::string& drawn) {
    std::string bytes;
    for (const char c : drawn) {
        bytes += lines({"Trying: " + stem7 + c + ".dmo"});
    }
    return bytes;
}

std::vector<std::string> folder_listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void expect_clean_end(const ProgramRun& run) {
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0);
}

TEST(GeneratorIntake, TheFirstRenameShortensTheDemoInTheWorkingFolder) {
    ScratchFolder folder;
    write_file(folder.path / "championship.dmo", "the match");
    set_local_date(folder.path / "championship.dmo", 2024, 3, 5);
    const ProgramRun run = run_program({built_program("morvmake"), "championship.dmo"},
                                       "y\n" + SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, long_name_notice("championship") +
                              lines({FIRST_QUESTION, "Trying to rename to: champion.dmo",
                                     "Time to get erased! DMO filename truncated.", ""}) +
                              banner("champion.dmo", "champion.MORV") +
                              solo_level_dialogue("Hawk[3]L5_05.03.2024", COPY_SUCCESS) +
                              closing("champion.MORV", "champion.dmo", 1));
    EXPECT_EQ(read_file(folder.path / "champion.dmo"), "the match");
    EXPECT_FALSE(fs::exists(folder.path / "championship.dmo"));
    EXPECT_EQ(read_file(folder.path / "Hawk[3]L5_05.03.2024" / "champion.dmo"), "the match");
}

TEST(GeneratorIntake, ADroppedDemoElsewhereIsMovedIntoTheWorkingFolder) {
    ScratchFolder folder;
    fs::create_directory(folder.path / "recordings");
    write_file(folder.path / "recordings" / "championship.dmo", "the match");
    const ProgramRun run = run_program(
        {built_program("morvmake"), (folder.path / "recordings" / "championship.dmo").string()},
        "y\n" + SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_NE(run.output.find(banner("champion.dmo", "champion.MORV")), std::string::npos);
    EXPECT_EQ(read_file(folder.path / "champion.dmo"), "the match");
    EXPECT_FALSE(fs::exists(folder.path / "recordings" / "championship.dmo"));
}

// The short name is taken, so names ending in a drawn character are tried;
// only a draw of "n" meets the taken name again.
TEST(GeneratorIntake, ATakenShortNameLeadsToAnAlternative) {
    ScratchFolder folder;
    write_file(folder.path / "championship.dmo", "the match");
    write_file(folder.path / "champion.dmo", "another match");
    set_local_date(folder.path / "championship.dmo", 2024, 3, 5);
    const ProgramRun run = run_program({built_program("morvmake"), "championship.dmo"},
                                       "y\n" + SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    const std::string drawn = drawn_characters(run.output, "champio");
    ASSERT_FALSE(drawn.empty()) << run.output;
    const char chosen = drawn.back();
    EXPECT_NE(ALPHABET.find(chosen), std::string::npos);
    EXPECT_NE(chosen, 'n');
    EXPECT_EQ(drawn.substr(0, drawn.size() - 1), std::string(drawn.size() - 1, 'n'));
    const std::string stem = std::string("champio") + chosen;
    EXPECT_EQ(run.output, long_name_notice("championship") +
                              lines({FIRST_QUESTION, "Trying to rename to: champion.dmo"}) +
                              ALTERNATIVES_NOTICE + tries_of("champio", drawn) +
                              lines({"Success with alternative name: " + stem + ".dmo", ""}) +
                              banner(stem + ".dmo", stem + ".MORV") +
                              solo_level_dialogue("Hawk[3]L5_05.03.2024", COPY_SUCCESS) +
                              closing(stem + ".MORV", stem + ".dmo", 1));
    EXPECT_EQ(read_file(folder.path / (stem + ".dmo")), "the match");
    EXPECT_EQ(read_file(folder.path / "champion.dmo"), "another match");
    EXPECT_FALSE(fs::exists(folder.path / "championship.dmo"));
    EXPECT_TRUE(fs::exists(folder.path / (stem + ".MORV")));
}

std::string all_renames_failed(const std::string& drawn) {
    return long_name_notice("longmatchname") +
           lines({FIRST_QUESTION, "Trying to rename to: longmatc.dmo"}) + ALTERNATIVES_NOTICE +
           tries_of("longmat", drawn) +
           lines({"Could not find a free name after many tries.",
                  "Hmm... no power. Failed to rename.", SECOND_QUESTION});
}

TEST(GeneratorIntake, AMissingDemoFailsAll21RenamesAndYesGoesOnWithTheShortName) {
    ScratchFolder folder;
    const ProgramRun run = run_program({built_program("morvmake"), "longmatchname.dmo"},
                                       "y\ny\n" + SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    const std::string drawn = drawn_characters(run.output, "longmat");
    ASSERT_EQ(drawn.size(), 20U) << run.output;
    EXPECT_EQ(drawn.find_first_not_of(ALPHABET), std::string::npos);
    EXPECT_GT(std::set<char>(drawn.begin(), drawn.end()).size(), 1U);
    EXPECT_EQ(run.output,
              all_renames_failed(drawn) + lines({""}) + banner("longmatc.dmo", "longmatc.MORV") +
                  solo_level_dialogue("Hawk[3]L5_30.12.1899",
                                      COPY_FAILURE_HEAD +
                                          lines({"  - Failed to copy .DMO (file not found?)"})) +
                  closing("longmatc.MORV", "longmatc.dmo", 1));
    EXPECT_EQ(folder_listing(folder.path),
              (std::vector<std::string>{"Hawk[3]L5_30.12.1899", "longmatc.MORV"}));
}

TEST(GeneratorIntake, NoAtTheSecondQuestionEndsTheRunWithNothingCreated) {
    ScratchFolder folder;
    const ProgramRun run = run_program({built_program("morvmake"), "longmatchname.dmo"},
                                       "y\nmaybe\nNo\n", folder.path);
    expect_clean_end(run);
    const std::string drawn = drawn_characters(run.output, "longmat");
    ASSERT_EQ(drawn.size(), 20U) << run.output;
    EXPECT_EQ(run.output,
              all_renames_failed(drawn) + lines({SECOND_QUESTION, "Sayonara, scumbag."}));
    EXPECT_TRUE(folder_listing(folder.path).empty());
}

TEST(GeneratorIntake, NoAtTheFirstQuestionEndsTheRunWithTheDemoUntouched) {
    ScratchFolder folder;
    write_file(folder.path / "championship.dmo", "the match");
    const ProgramRun run = run_program({built_program("morvmake"), "championship.dmo"},
                                       "x\n\n\" y\"\nn\n", folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, long_name_notice("championship") +
                              lines({FIRST_QUESTION, FIRST_QUESTION, FIRST_QUESTION, FIRST_QUESTION,
                                     "Sayonara, scumbag."}));
    EXPECT_EQ(folder_listing(folder.path), (std::vector<std::string>{"championship.dmo"}));
    EXPECT_EQ(read_file(folder.path / "championship.dmo"), "the match");
}

TEST(GeneratorIntake, TheEndOfTheInputAtAQuestionEndsTheRun) {
    ScratchFolder folder;
    write_file(folder.path / "championship.dmo", "the match");
    const ProgramRun run =
        run_program({built_program("morvmake"), "championship.dmo"}, "maybe\n", folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output, long_name_notice("championship") +
                              lines({FIRST_QUESTION, FIRST_QUESTION, "Input ended."}));
    EXPECT_EQ(folder_listing(folder.path), (std::vector<std::string>{"championship.dmo"}));
}

TEST(GeneratorIntake, ABaseOfEightCharactersIsTakenSilentlyAndNineAreNot) {
    ScratchFolder folder;
    const ProgramRun eight =
        run_program({built_program("morvmake"), "abcdefgh.dmo"}, SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(eight);
    EXPECT_EQ(eight.output.rfind(banner("abcdefgh.dmo", "abcdefgh.MORV"), 0), 0U);
    const ProgramRun nine =
        run_program({built_program("morvmake"), "abcdefghi.dmo"}, "n\n", folder.path);
    expect_clean_end(nine);
    EXPECT_EQ(nine.output,
              long_name_notice("abcdefghi") + lines({FIRST_QUESTION, "Sayonara, scumbag."}));
}

bool under_windows() {
    return std::getenv("MORV_TEST_EMULATOR") != nullptr;
}

// The Windows console's code page cannot hold these characters; the file is
// reached by its real name all the same.
TEST(GeneratorIntake, ADroppedNameOutsideTheCodePageIsRenamedFromItsRealName) {
    if (!under_windows()) {
        GTEST_SKIP() << "a POSIX name is its own bytes and always fits";
    }
    ScratchFolder folder;
    const fs::path dropped = folder.path / fs::path(u8"\u6c7a\u52dd.dmo");
    write_file(dropped, "the match");
    set_local_date(dropped, 2024, 3, 5);
    const ProgramRun run = run_program({built_program("morvmake"), dropped.filename().string()},
                                       "y\n" + SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_EQ(run.output,
              lines({"", "The .DMO name holds characters the console cannot show (shown as ?).", "",
                     FIRST_QUESTION, "Trying to rename to: demo.dmo",
                     "Time to get erased! DMO filename truncated.", ""}) +
                  banner("demo.dmo", "demo.MORV") +
                  solo_level_dialogue("Hawk[3]L5_05.03.2024", COPY_SUCCESS) +
                  closing("demo.MORV", "demo.dmo", 1));
    EXPECT_EQ(folder_listing(folder.path),
              (std::vector<std::string>{"Hawk[3]L5_05.03.2024", "demo.MORV", "demo.dmo"}));
}

// A run cut short leaves its temporaries; the next run clears them from the
// working folder and the demo folder.
TEST(GeneratorIntake, LeftoverTemporariesOfAnInterruptedRunAreRemoved) {
    ScratchFolder folder;
    const std::string leftover =
        under_windows() ? ".morv-copy-0123456789abcdef" : ".morv-copy-a1B2c3";
    const fs::path demo_folder = folder.path / "Hawk[3]L5_05.03.2024";
    fs::create_directory(demo_folder);
    write_file(folder.path / "final.dmo", "the match");
    set_local_date(folder.path / "final.dmo", 2024, 3, 5);
    write_file(folder.path / leftover, "cut script");
    write_file(demo_folder / leftover, "cut demo");
    const ProgramRun run =
        run_program({built_program("morvmake"), "final.dmo"}, SOLO_LEVEL_ANSWERS, folder.path);
    expect_clean_end(run);
    EXPECT_EQ(folder_listing(folder.path),
              (std::vector<std::string>{"Hawk[3]L5_05.03.2024", "final.MORV", "final.dmo"}));
    EXPECT_EQ(folder_listing(demo_folder), (std::vector<std::string>{"final.MORV", "final.dmo"}));
}

} // namespace
} // namespace morv_test
