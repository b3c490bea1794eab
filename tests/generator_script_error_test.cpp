// morvmake when the launch script cannot be written: "Error creating file!",
// no kills asked, no demo folder, exit status 0.
#include "generator_dialogue.h"
#include "program_runner.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const std::string SOLO_MAP_ANSWERS = "1\nM\nARENA\nHawk\n2\n3\n";

const std::string SOLO_MAP_UNTIL_SCRIPT =
    banner("DUEL01.DMO", "DUEL01.MORV") +
    lines({"Enter number of players (1-8): ", "", "Use -map or -level?", "(M)ap or (L)evel: ",
           "Must be below 8 symbols due to Dos limits!", "Enter map name: "}) +
    COLOUR_LEGEND_LINES + lines({"Player 1 Name: ", "Player 1 Color (0-7): "});

ProgramRun run_solo_map(const fs::path& folder) {
    write_file(folder / "DUEL01.DMO", "demo bytes");
    write_file(folder / "ARENA.map", "map bytes");
    return run_program({built_program("morvmake"), "DUEL01.DMO"}, SOLO_MAP_ANSWERS, folder);
}

void expect_error_end(const ProgramRun& run) {
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.output, SOLO_MAP_UNTIL_SCRIPT + lines({"Error creating file!"}));
}

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(GeneratorScriptError, AFolderInTheScriptsPlaceCannotBeOpened) {
    ScratchFolder folder;
    fs::create_directory(folder.path / "DUEL01.MORV");
    expect_error_end(run_solo_map(folder.path));
    EXPECT_TRUE(fs::is_directory(folder.path / "DUEL01.MORV"));
    EXPECT_EQ(entries(folder.path), 3U); // the demo, the map and that folder
}

TEST(GeneratorScriptError, AScriptNameInAMissingFolderCannotBeOpened) {
    ScratchFolder folder;
    write_file(folder.path / "d.dmo", "demo bytes");
    const ProgramRun run =
        run_program({built_program("morvmake")}, "no\\d.dmo\n" + SOLO_MAP_ANSWERS, folder.path);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_NE(run.output.find(banner("no\\d.dmo", "no\\d.MORV")), std::string::npos);
    const std::string end = lines({"Player 1 Color (0-7): ", "Error creating file!"});
    EXPECT_EQ(run.output.substr(run.output.size() - end.size()), end);
    EXPECT_EQ(entries(folder.path), 1U);
}

// A piped answer can hold a NUL byte, where the system would cut the name:
// the script "o" NUL "o.MORV" must not become the file "o".
// A demo name holding what a launch script cannot is offered a name without
// it, as a long one is: a NUL byte, refused here, names no file; "R&D" becomes
// "RD" with the user's consent.
TEST(GeneratorScriptError, ADemoNameALaunchScriptCannotHoldIsOfferedAFittingName) {
    ScratchFolder folder;
    const std::string other = "a file of the user's own\r\n";
    write_file(folder.path / "o", other);
    const std::string question = "Continue and rename file to 8 chars? (Y/N): ";
    const std::string notice =
        lines({"", "A name cannot hold & \" < > | or control characters.", "", question});
    const std::string typed = std::string("o") + '\0' + "o";
    ProgramRun run = run_program({built_program("morvmake")}, typed + "\nn\n", folder.path);
    EXPECT_EQ(run.exit_status, 0);
    const std::string end = notice + lines({"Sayonara, scumbag."});
    ASSERT_GE(run.output.size(), end.size());
    EXPECT_EQ(run.output.substr(run.output.size() - end.size()), end);
    EXPECT_EQ(read_file(folder.path / "o"), other);
    EXPECT_EQ(entries(folder.path), 1U) << "no script and no demo folder";

    write_file(folder.path / "R&D.dmo", "demo bytes");
    run =
        run_program({built_program("morvmake"), "R&D.dmo"}, "y\n" + SOLO_MAP_ANSWERS, folder.path);
    EXPECT_NE(run.output.find(notice + lines({"Trying to rename to: RD.dmo"})), std::string::npos)
        << run.output;
    EXPECT_EQ(read_file(folder.path / "RD.dmo"), "demo bytes");
    EXPECT_NE(read_file(folder.path / "RD.MORV").find(" -dpRD.dmo "), std::string::npos);
}

// A launch script dropped on morvmake names itself as the script, also when
// the lookup without case would find it: it is left as it was.
TEST(GeneratorScriptError, ADemoThatNamesItselfAsTheScriptIsNeverWritten) {
    for (const char* name : {"x.dmo.MORV", "X.DMO.morv"}) {
        ScratchFolder folder;
        const std::string script = "PLAYERS = 1\r\n---\r\nINSTANCE1 = MOUNT C .\r\n";
        write_file(folder.path / name, script);
        const ProgramRun run =
            run_program({built_program("morvmake"), name}, SOLO_MAP_ANSWERS, folder.path);
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.output,
                  lines({std::string(name) + " is the demo itself and cannot be its own launch "
                                             "script; nothing was written."}));
        EXPECT_EQ(read_file(folder.path / name), script);
        EXPECT_EQ(entries(folder.path), 1U);
    }
}

// A link in the script's place, here to a device that takes no byte, is
// replaced by the complete script; what it pointed at is never written.
TEST(GeneratorScriptError, ALinkInTheScriptsPlaceIsReplacedNotWrittenThrough) {
    if (std::getenv("MORV_TEST_EMULATOR") != nullptr || !fs::exists("/dev/full")) {
        GTEST_SKIP() << "needs a POSIX /dev/full under the program";
    }
    ScratchFolder folder;
    fs::create_symlink("/dev/full", folder.path / "DUEL01.MORV");
    const ProgramRun run = run_solo_map(folder.path);
    EXPECT_NE(run.output.find("BANZAI!!"), std::string::npos);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder.path / "DUEL01.MORV")));
    EXPECT_EQ(read_file(folder.path / "DUEL01.MORV").substr(0, 18), "PLAYERS = 1\r\n---\r\n");
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

} // namespace
} // namespace morv_test
