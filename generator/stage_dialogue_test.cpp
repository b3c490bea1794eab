// The stages over the scripted console: what they print, in which colour,
// and how they end the run.
#include "console.h"
#include "console_double.h"
#include "demo_folder.h"
#include "demo_intake.h"
#include "launch_script.h"
#include "platform_console.h"
#include "scratch_folder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace morv {
namespace {

namespace fs = std::filesystem;

// An empty working folder of its own for one test, with a fresh piped console.
struct WorkingFolder {
    WorkingFolder() : scratch("morv-stage-"), path(scratch.path) {
        previous = fs::current_path();
        fs::current_path(path);
        double_reset(false);
        start_console(0, nullptr);
    }
    ~WorkingFolder() { fs::current_path(previous); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;
    morv_test::ScratchFolder scratch;
    fs::path path;
    fs::path previous;
};

void touch(const fs::path& path) {
    std::ofstream(path, std::ios::binary) << "bytes";
}

GeneratorRun duel(const std::string& mode) {
    GeneratorRun run;
    run.demo_name = "DUEL01.DMO";
    run.script_name = "DUEL01.MORV";
    run.player_count = 2;
    run.mode = mode;
    run.map_name = "ARENA";
    run.map_file = "ARENA.map";
    run.level_number = "5";
    player_slot(run, 1) = {"Player1", 3, 12};
    player_slot(run, 2) = {"Viper", 7, 9};
    return run;
}

TEST(StageDialogue, AllCopiesDoneIsReportedInGreen) {
    WorkingFolder folder;
    touch("DUEL01.DMO");
    touch("DUEL01.MORV");
    touch("ARENA.map");
    build_demo_folder(duel("M"));
    const std::string name =
        "Player1[12]xViper[9]ARENA_" + folder_date_text(file_date("DUEL01.DMO"));
    EXPECT_EQ(double_output(),
              "\r\nCreating demo folder: " + name + "\r\nDemo folder generated successfully!\r\n");
    EXPECT_EQ(double_attribute(), 2);
    for (const char* file : {"DUEL01.DMO", "DUEL01.MORV", "ARENA.map"}) {
        EXPECT_TRUE(fs::is_regular_file(folder.path / name / file)) << file;
    }
}

TEST(StageDialogue, FailedCopiesAreListedInRedInTheirOrder) {
    WorkingFolder folder;
    const std::string block =
        "ITAIUUU!! Either some files could not be copied or the folder could not be created.\r\n"
        "This might be caused by illegal symbols present in player names or the map name, such "
        "as `?` or `*`\r\n";
    const struct {
        bool demo, script, map;
        std::string lines;
    } cases[] = {
        {true, true, false, "  - Failed to copy .MAP (file not found?)\r\n"},
        {false, true, true, "  - Failed to copy .DMO (file not found?)\r\n"},
        {false, false, false,
         "  - Failed to copy .DMO (file not found?)\r\n  - Failed to copy .MORV\r\n"
         "  - Failed to copy .MAP (file not found?)\r\n"},
    };
    for (const auto& c : cases) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder.path)) {
            fs::remove_all(entry.path());
        }
        if (c.demo) {
            touch("DUEL01.DMO");
        }
        if (c.script) {
            touch("DUEL01.MORV");
        }
        if (c.map) {
            touch("ARENA.map");
        }
        double_reset(false);
        start_console(0, nullptr);
        build_demo_folder(duel("M"));
        const std::string name =
            "Player1[12]xViper[9]ARENA_" + folder_date_text(file_date("DUEL01.DMO"));
        EXPECT_EQ(double_output(), "\r\nCreating demo folder: " + name + "\r\n" + block + c.lines);
        EXPECT_EQ(double_attribute(), 4);
    }
}

TEST(StageDialogue, AlternativeNamesAreDrawnFromTheClocksWholeSeconds) {
    WorkingFolder folder;
    platform_sleep_ms(5700); // the scripted clock now reads 5.7 s
    double_type("y\ny\n");
    GeneratorRun run;
    run_demo_intake(run, "no_such_recording.dmo");
    std::mt19937 generator = seeded_name_generator(5U);
    std::string tries;
    for (int i = 0; i < ALTERNATIVE_TRIES; ++i) {
        tries += "Trying: " + alternative_stem("no_such_recording", next_name_draw(generator)) +
                 ".dmo\r\n";
    }
    const std::string output = double_output();
    EXPECT_NE(output.find("Trying alternative names...\r\n\r\n" + tries +
                          "Could not find a free name after many tries.\r\n"),
              std::string::npos)
        << output;
    EXPECT_EQ(run.demo_name, "no_such_.dmo");
    EXPECT_EQ(run.base_name, "no_such_");
    EXPECT_EQ(run.source_path, "no_such_recording.dmo");
}

// Death tests end in the child; it reports the console there on its way out.
void report_console_at_exit() {
    std::fprintf(stderr, "[attribute %d]%s", double_attribute(), double_output().c_str());
}

TEST(StageDialogue, ALaunchScriptThatCannotBeOpenedEndsTheRunInRed) {
    WorkingFolder folder;
    fs::create_directory("DUEL01.MORV");
    GeneratorRun run = duel("M");
    EXPECT_EXIT(
        {
            std::atexit(report_console_at_exit);
            write_launch_script(run);
        },
        testing::ExitedWithCode(0), "\\[attribute 4\\]Error creating file!\r\n$");
}

TEST(StageDialogue, NoAtAYesNoQuestionEndsTheRunInTheCurrentColour) {
    WorkingFolder folder;
    double_type("maybe\n\n\" y\"\nnO\n"); // a quoted blank is neither
    EXPECT_EXIT(
        {
            std::atexit(report_console_at_exit);
            ask_yes_no("Go on: ");
        },
        testing::ExitedWithCode(0),
        "\\[attribute -1\\]Go on: \r\nGo on: \r\nGo on: \r\nGo on: \r\nSayonara, scumbag.\r\n$");
}

TEST(StageDialogue, TheEndOfTheInputAtAYesNoQuestionEndsTheRun) {
    WorkingFolder folder;
    double_type("x\n");
    EXPECT_EXIT(
        {
            std::atexit(report_console_at_exit);
            ask_yes_no("Go on: ");
        },
        testing::ExitedWithCode(0), "\\[attribute -1\\]Go on: \r\nGo on: \r\nInput ended.\r\n$");
}

} // namespace
} // namespace morv
