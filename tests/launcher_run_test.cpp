// Whole morvplay runs in a folder of their own, with a stand-in emulator that
// records every start: the exact console bytes, the arguments each instance
// receives and what happens to COMMIT.DAT.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const char* const WORKED_EXAMPLE =
    "PLAYERS = 2\r\n"
    "---\r\n"
    "INSTANCE1 = MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 -nodes 2 vcommit "
    "sw.exe -dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,3,0 -name Player1\r\n"
    "INSTANCE2 = MOUNT C . & C: & ipxnet connect localhost & ipxsetup -player 2 -nodes 2 vcommit "
    "sw.exe -dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,7,0 -name Big Joe\r\n"
    "INSTANCE3 = \r\nINSTANCE4 = \r\nINSTANCE5 = \r\nINSTANCE6 = \r\n"
    "INSTANCE7 = \r\nINSTANCE8 = \r\n";

const char* const COMMAND_LINE_1 =
    "dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet startserver\" -c "
    "\"ipxsetup -player 1 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
    "0,3,0,1,1,0,20,0,3,0 -name Player1\"";
const char* const COMMAND_LINE_2 =
    "dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet connect localhost\" -c "
    "\"ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
    "0,3,0,1,1,0,20,0,7,0 -name Big Joe\"";

// Without a stand-in the only emulator the lookup could find is an installed
// one, so PATH names an empty folder while morvplay runs.
struct LauncherFolder : ::testing::Test {
    ScratchFolder folder;
    ScratchFolder empty_path;
    PathGuard path{empty_path.path.string()};
    // It appends one record per start to launches.log: its arguments, one a
    // line, and a closing separator.
    void add_stand_in() const { add_stand_in_emulator(folder.path); }
    ProgramRun play(const std::vector<std::string>& arguments) const {
        std::vector<std::string> line{built_program("morvplay")};
        line.insert(line.end(), arguments.begin(), arguments.end());
        return run_program(line, "", folder.path);
    }
    std::string file(const char* name) const { return read_file(folder.path / name); }
};

TEST_F(LauncherFolder, WithoutAScriptItAsksForOneAndTouchesNothing) {
    write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\n");
    const std::vector<std::vector<std::string>> argument_lists = {{}, {""}, {"", "DUEL01.MORV"}};
    for (const auto& arguments : argument_lists) {
        const ProgramRun run = play(arguments);
        EXPECT_EQ(run.output, "Drag a .MORV file onto this EXE.\r\n");
        EXPECT_EQ(run.exit_status, 0);
    }
    EXPECT_EQ(file("COMMIT.DAT"), "NUMPLAYERS = 4\n");
    EXPECT_FALSE(fs::exists(folder.path / "temp.txt"));
}

struct QuietCase {
    const char* script;
    const char* output;
    const char* commit_dat;
};

TEST_F(LauncherFolder, ScriptsWithoutInstancesPrintTheCountAndTheClosingLines) {
    const QuietCase cases[] = {
        {"PLAYERS = 1\r\nINSTANCE1 = \r\n  INSTANCE2 =   \r\n",
         "PLAYERS =  1\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n",
         "NUMPLAYERS = 1\r\n"},
        {"PLAYERS = 3\nPLAYERS = 7.5\n---\n",
         "PLAYERS =  8\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n",
         "NUMPLAYERS = 8\r\n"},
    };
    for (const QuietCase& c : cases) {
        write_file(folder.path / "MATCH.MORV", c.script);
        write_file(folder.path / "COMMIT.DAT", "numplayers=4\n");
        const ProgramRun run = play({"MATCH.MORV"});
        EXPECT_EQ(run.output, c.output);
        EXPECT_EQ(run.errors, "");
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(file("COMMIT.DAT"), c.commit_dat);
    }
}

// What a run on an unreadable script must leave: the files it could have
// touched as they were, to the byte and the modification time, no new file,
// no emulator started.
struct FolderBefore {
    std::string commit_dat = "[net]\r\nNUMPLAYERS = 4\r\n";
    std::string scratch = "left over from an earlier run\r\n";
    fs::file_time_type modified;
    std::vector<std::string> names;
};

FolderBefore prepare_untouchable(const fs::path& folder) {
    FolderBefore before;
    write_file(folder / "COMMIT.DAT", before.commit_dat);
    write_file(folder / "temp.txt", before.scratch);
    // A day back, so that any rewrite shows in the time as well.
    before.modified = fs::last_write_time(folder / "COMMIT.DAT") - std::chrono::hours(24);
    fs::last_write_time(folder / "COMMIT.DAT", before.modified);
    fs::last_write_time(folder / "temp.txt", before.modified);
    before.names = names_in(folder);
    return before;
}

void expect_nothing_changed_or_started(const ProgramRun& run, const std::string& output,
                                       const fs::path& folder, const FolderBefore& before) {
    EXPECT_EQ(run.output, output);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(read_file(folder / "COMMIT.DAT"), before.commit_dat);
    EXPECT_EQ(read_file(folder / "temp.txt"), before.scratch);
    std::error_code missing;
    EXPECT_EQ(fs::last_write_time(folder / "COMMIT.DAT", missing), before.modified);
    EXPECT_EQ(fs::last_write_time(folder / "temp.txt", missing), before.modified);
    EXPECT_EQ(names_in(folder), before.names) << "a file was made, or the stand-in was started";
}

std::string unreadable(const std::string& shown) {
    return shown + " could not be read; nothing was changed or started.\r\n";
}

std::string refused(const std::string& shown_command) {
    return "HOSTILE.MORV asks the emulator to run \"" + shown_command +
           "\", which a launch script never does; nothing was changed or started.\r\n";
}

const std::string NOT_A_SCRIPT =
    "HOSTILE.MORV is not a launch script; nothing was changed or started.\r\n";

// A launch script received from someone else may start a demo and nothing
// else: each of these is refused before anything is changed or started.
TEST_F(LauncherFolder, AScriptThatAsksForMoreThanADemoChangesAndStartsNothing) {
    const std::string two = "PLAYERS = 2\r\n---\r\nINSTANCE1 = MOUNT C . & C: & ";
    const struct {
        const char* what;
        std::string script;
        std::string output;
    } cases[] = {
        {"another mount", two + "MOUNT D / & D: & DEL X\r\n", refused("MOUNT D /")},
        {"a disk image", two + "IMGMOUNT D x.img\r\n", refused("IMGMOUNT D x.img")},
        {"the emulator's set-up", two + "CONFIG -set cpu cycles=max\r\n",
         refused("CONFIG -set cpu cycles=max")},
        {"a boot", two + "BOOT x.img\r\n", refused("BOOT x.img")},
        {"a quote", two + "ipxsetup -name x\" -conf other.conf\r\n",
         refused("ipxsetup -name x\" -conf other.conf")},
        {"an output redirection", two + "ipxsetup -name x > SW.EXE\r\n",
         refused("ipxsetup -name x > SW.EXE")},
        {"an input redirection", two + "ipxsetup -name x < CON\r\n",
         refused("ipxsetup -name x < CON")},
        {"a pipe", two + "ipxsetup -name x | DEL SW.EXE\r\n",
         refused("ipxsetup -name x | DEL SW.EXE")},
        {"a CR", two + "ipxsetup -name x\rMOUNT D /\r\n", refused("ipxsetup -name x^MMOUNT D /")},
        {"an ESC", two + "ipxsetup -name \x1b[2K\r\n", refused("ipxsetup -name ^[[2K")},
        {"an & inside a name", two + "ipxnet startserver & ipxsetup -name R&DEL SW.EXE\r\n",
         refused("DEL SW.EXE")},
        {"a demo dropped by mistake", std::string("DMO\x1a\x02\0\x07\xff\r\nPLAYR\n", 15),
         NOT_A_SCRIPT},
        {"an empty file", "", NOT_A_SCRIPT},
        {"no player", "PLAYERS = 0\r\nINSTANCE1 = C:\r\n", NOT_A_SCRIPT},
        {"a negative count", "PLAYERS = -1\r\n", NOT_A_SCRIPT},
        {"a count only inside an instance", "INSTANCE1 = ipxsetup -name PLAYERS = 2\r\n",
         NOT_A_SCRIPT},
    };
    add_stand_in();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        write_file(folder.path / "HOSTILE.MORV", c.script);
        const FolderBefore before = prepare_untouchable(folder.path);
        expect_nothing_changed_or_started(play({"HOSTILE.MORV"}), c.output, folder.path, before);
    }
}

// Names, maps and demos that hold PLAYERS stand behind the first "=" of an
// instance line, where they are no count.
TEST_F(LauncherFolder, PlayersInANameOrMapLeavesTheCount) {
    add_stand_in();
    std::string script = WORKED_EXAMPLE;
    script.replace(script.find("ARENA.map"), 9, "PLAYERS.map");
    script.replace(script.find("Player1"), 7, "PLAYERS");
    write_file(folder.path / "DUEL01.MORV", script);
    write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n");
    const ProgramRun run = play({"DUEL01.MORV"});
    EXPECT_EQ(run.output.substr(0, 35), "PLAYERS =  2\r\nCOMMIT.DAT updated.\r\n");
    EXPECT_EQ(file("COMMIT.DAT"), "NUMPLAYERS = 2\r\n");
    EXPECT_NE(file("launches.log").find("-name PLAYERS\n"), std::string::npos);
}

struct UnreadableCase {
    const char* what;
    const char* argument;
    bool folder_in_its_place;
};

TEST_F(LauncherFolder, AScriptThatCannotBeOpenedChangesAndStartsNothing) {
    const UnreadableCase cases[] = {
        {"missing", "MISSING.MORV", false},
        {"in a missing folder", "typo\\DUEL01.MORV", false},
        {"a folder", "DUEL01.MORV", true},
        {"a name like an option", "-x", false},
        {"a name like a long option", "--helpme", false},
    };
    add_stand_in();
    for (const UnreadableCase& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.folder_in_its_place) {
            fs::create_directory(folder.path / c.argument);
        }
        const FolderBefore before = prepare_untouchable(folder.path);
        expect_nothing_changed_or_started(play({c.argument}), unreadable(c.argument), folder.path,
                                          before);
        fs::remove(folder.path / c.argument);
    }
}

// Root reads every file, so as root the program runs as nobody; wine keeps
// to the user that made its prefix and cannot be run so.
TEST_F(LauncherFolder, AScriptWithoutReadPermissionChangesAndStartsNothing) {
    const bool as_root = geteuid() == 0;
    if (as_root && std::getenv("MORV_TEST_EMULATOR") != nullptr) {
        GTEST_SKIP() << "root reads every file, and wine cannot run as another user";
    }
    const std::vector<std::string> as_nobody = {"/usr/bin/setpriv", "--reuid=nobody",
                                                "--regid=nogroup", "--clear-groups"};
    std::vector<std::string> line = as_root ? as_nobody : std::vector<std::string>{};
    line.push_back(built_program("morvplay"));
    if (as_root &&
        run_program(line, "", folder.path).output != "Drag a .MORV file onto this EXE.\r\n") {
        GTEST_SKIP() << "the built program cannot be run as nobody from here";
    }
    // Everybody may write here, so a run that read the script could update
    // COMMIT.DAT and start the stand-in.
    fs::permissions(folder.path, fs::perms::all);
    add_stand_in();
    fs::permissions(folder.path / "dosbox.exe", fs::perms::all);
    write_file(folder.path / "DUEL01.MORV", WORKED_EXAMPLE);
    fs::permissions(folder.path / "DUEL01.MORV", fs::perms::none);
    const FolderBefore before = prepare_untouchable(folder.path);
    fs::permissions(folder.path / "COMMIT.DAT", fs::perms::all);
    fs::permissions(folder.path / "temp.txt", fs::perms::all);
    line.push_back("DUEL01.MORV");
    expect_nothing_changed_or_started(run_program(line, "", folder.path), unreadable("DUEL01.MORV"),
                                      folder.path, before);
}

TEST_F(LauncherFolder, TheWorkedExampleStartsBothInstancesWithTheirCommandsIntact) {
    add_stand_in();
    write_file(folder.path / "DUEL01.MORV", WORKED_EXAMPLE);
    write_file(folder.path / "COMMIT.DAT", "[net]\r\nNUMPLAYERS = 4\r\n; NUMPLAYERS = 3\r\n");
    // The second argument is not read.
    const ProgramRun run = play({"DUEL01.MORV", "OTHER.MORV"});
    EXPECT_EQ(run.output, std::string("PLAYERS =  2\r\nCOMMIT.DAT updated.\r\n") + "Launching: " +
                              COMMAND_LINE_1 + "\r\n" + "Launching: " + COMMAND_LINE_2 + "\r\n" +
                              "All instances launched.\r\n");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(file("COMMIT.DAT"), "[net]\r\nNUMPLAYERS = 2\r\n; NUMPLAYERS = 3\r\n");
    EXPECT_EQ(file("launches.log"),
              "-conf\ndosbox.conf\n-c\nMOUNT C .\n-c\nC:\n-c\nipxnet startserver\n-c\n"
              "ipxsetup -player 1 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
              "0,3,0,1,1,0,20,0,3,0 -name Player1\n----\n"
              "-conf\ndosbox.conf\n-c\nMOUNT C .\n-c\nC:\n-c\nipxnet connect localhost\n-c\n"
              "ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
              "0,3,0,1,1,0,20,0,7,0 -name Big Joe\n----\n");
}

TEST_F(LauncherFolder, InstanceLinesStartInFileOrderWithTheirTextPassedUnchanged) {
    add_stand_in();
    write_file(folder.path / "COMMIT.DAT", "");
    write_file(folder.path / "ODD.MORV", "INSTANCE2 = ipxsetup $HOME `id` 100% & & c: &\n"
                                         "INSTANCE1 = & & ipxsetup -name C:\\GAMES\\\n"
                                         "PLAYERS = 2\n");
    const ProgramRun run = play({"ODD.MORV"});
    // A backslash before the closing quote is doubled, so that the C runtime
    // gives it back as typed and the quote still closes the argument.
    EXPECT_EQ(run.output,
              "PLAYERS =  2\r\nCOMMIT.DAT updated.\r\n"
              "Launching: dosbox.exe -conf dosbox.conf -c \"ipxsetup $HOME `id` 100%\" -c "
              "\"c:\"\r\n"
              "Launching: dosbox.exe -conf dosbox.conf -c \"ipxsetup -name C:\\GAMES\\\\\"\r\n"
              "All instances launched.\r\n");
    EXPECT_EQ(file("launches.log"),
              "-conf\ndosbox.conf\n-c\nipxsetup $HOME `id` 100%\n-c\nc:\n----\n"
              "-conf\ndosbox.conf\n-c\nipxsetup -name C:\\GAMES\\\n----\n");
}

} // namespace
} // namespace morv_test
