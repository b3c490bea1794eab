// COMMIT.DAT through whole morvplay runs: it is never missing while it is
// rewritten, and it stays exactly as it was when its copy cannot be written.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

// A script that starts no instance, so a run takes no time beyond the update.
const char* const THREE_PLAYERS = "PLAYERS = 3\r\n";

ProgramRun play(const fs::path& folder) {
    write_file(folder / "MATCH.MORV", THREE_PLAYERS);
    return run_program({built_program("morvplay"), "MATCH.MORV"}, "", folder);
}

// A set-up file big enough that its rewrite takes a while, with LF line ends
// so the rewritten file (CR LF) has another size than the original.
std::string large_commit_dat() {
    std::string bytes = "[network]\nNUMPLAYERS = 4\n";
    for (int k = 0; k < 400000; ++k) {
        bytes += "SETTING" + std::to_string(k) + " = some value of the game\n";
    }
    return bytes;
}

struct Watch {
    std::atomic<bool> stop{false};
    long polls = 0;
    long missing = 0;
    long other_sizes = 0;
    bool saw_old = false;
    std::atomic<bool> saw_new{false};
    bool saw_scratch = false;
};

void watch_folder(const fs::path& folder, std::uintmax_t old_size, std::uintmax_t new_size,
                  Watch& watch) {
    // Watches until the new file has been seen, or until told to stop.
    while (!watch.saw_new && !watch.stop) {
        std::error_code error;
        const std::uintmax_t size = fs::file_size(folder / "COMMIT.DAT", error);
        ++watch.polls;
        if (error) {
            ++watch.missing;
        } else if (size == old_size) {
            watch.saw_old = true;
        } else if (size == new_size) {
            watch.saw_new = true;
        } else {
            ++watch.other_sizes;
        }
        watch.saw_scratch = watch.saw_scratch || fs::exists(folder / "temp.txt", error);
    }
}

TEST(LauncherCommitDat, IsNeverMissingOrPartWhileItIsRewritten) {
    ScratchFolder folder;
    const std::string before = large_commit_dat();
    write_file(folder.path / "COMMIT.DAT", before);
    std::string after;
    for (const char c : before) {
        after += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    after.replace(after.find("NUMPLAYERS = 4"), 14, "NUMPLAYERS = 3");
    Watch watch;
    std::thread watcher(watch_folder, folder.path, before.size(), after.size(), std::ref(watch));
    const ProgramRun run = play(folder.path);
    for (int k = 0; k < 500 && !watch.saw_new; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    watch.stop = true;
    watcher.join();
    EXPECT_EQ(run.output, "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n");
    EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), after);
    EXPECT_FALSE(fs::exists(folder.path / "temp.txt"));
    // The watcher looked from before the copy was begun until the new file
    // stood in the old one's place.
    EXPECT_TRUE(watch.saw_scratch);
    EXPECT_TRUE(watch.saw_old);
    EXPECT_TRUE(watch.saw_new);
    EXPECT_GT(watch.polls, 100);
    EXPECT_EQ(watch.missing, 0);
    EXPECT_EQ(watch.other_sizes, 0);
}

struct BlockedCase {
    const char* what;
    std::string commit_dat; // empty: COMMIT.DAT is a folder
    void (*block)(const fs::path& folder);
    const char* message;
};

TEST(LauncherCommitDat, StaysAsItWasWhenItsCopyCannotBeWrittenOrItCannotBeRead) {
    const char* const WRITE_FAILED =
        "temp.txt could not be written; COMMIT.DAT was left as it was.";
    const BlockedCase cases[] = {
        {"a folder named temp.txt", "NUMPLAYERS = 4\r\n",
         [](const fs::path& folder) { fs::create_directory(folder / "temp.txt"); }, WRITE_FAILED},
        {"a folder named COMMIT.DAT", "",
         [](const fs::path& folder) { fs::create_directory(folder / "COMMIT.DAT"); },
         "COMMIT.DAT could not be read and was left as it was."},
    };
    for (const BlockedCase& c : cases) {
        ScratchFolder folder;
        if (!c.commit_dat.empty()) {
            write_file(folder.path / "COMMIT.DAT", c.commit_dat);
        }
        c.block(folder.path);
        const ProgramRun run = play(folder.path);
        EXPECT_EQ(run.output,
                  std::string("PLAYERS =  3\r\n") + c.message + "\r\nAll instances launched.\r\n")
            << c.what;
        EXPECT_EQ(run.exit_status, 0) << c.what;
        if (c.commit_dat.empty()) {
            EXPECT_TRUE(fs::is_directory(folder.path / "COMMIT.DAT")) << c.what;
        } else {
            EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), c.commit_dat) << c.what;
        }
    }
}

// Any user who may read the folder can hold its lock ("flock -s"), and a
// morvplay stopped by Ctrl+Z holds it too: the next one says so in time and
// changes and starts nothing.
TEST(LauncherCommitDat, ALockHeldByAnotherProgramChangesAndStartsNothing) {
    if (std::getenv("MORV_TEST_EMULATOR") != nullptr) {
        GTEST_SKIP() << "a Windows program locks a named mutex (see platform_test)";
    }
    ScratchFolder folder;
    write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n");
    write_file(folder.path / "MATCH.MORV", "PLAYERS = 3\r\nINSTANCE1 = MOUNT C .\r\n");
    const int held = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_SH), 0);
    const ProgramRun run =
        run_program({built_program("morvplay"), "MATCH.MORV"}, "", folder.path, 20.0);
    close(held);
    EXPECT_EQ(run.output, "PLAYERS =  3\r\nCOMMIT.DAT is being updated by another program; "
                          "nothing was changed or started.\r\n");
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_LT(run.seconds, 7.0);
    EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), "NUMPLAYERS = 4\r\n");
    EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"COMMIT.DAT", "MATCH.MORV"}));
}

// As on Windows, where a read-only file is not replaced, also for an
// administrator: here no write permission for anyone is read-only, also for
// root, who could otherwise rename over any file.
TEST(LauncherCommitDat, AReadOnlyOneIsLeftAsItWasWithItsUpdatedCopyInTempTxt) {
    using fs::perms;
    const perms read_only_modes[] = {
        perms::owner_read | perms::group_read | perms::others_read,
        perms::owner_read,
        perms::owner_read | perms::owner_exec | perms::group_read | perms::others_read,
    };
    const std::string before = "[network]\nNUMPLAYERS = 4\n";
    for (const perms mode : read_only_modes) {
        SCOPED_TRACE(static_cast<int>(mode));
        ScratchFolder folder;
        write_file(folder.path / "COMMIT.DAT", before);
        fs::permissions(folder.path / "COMMIT.DAT", mode);
        const ProgramRun run = play(folder.path);
        EXPECT_EQ(run.output,
                  "PLAYERS =  3\r\n"
                  "COMMIT.DAT could not be replaced; its updated copy is in temp.txt.\r\n"
                  "All instances launched.\r\n");
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), before);
        EXPECT_EQ(fs::status(folder.path / "COMMIT.DAT").permissions(), mode);
        EXPECT_EQ(read_file(folder.path / "temp.txt"), "[network]\r\nNUMPLAYERS = 3\r\n");
    }
}

// The folder as morvplay names it: wine shows the Linux folder on drive Z:.
std::string shown_folder(const fs::path& folder) {
    if (std::getenv("MORV_TEST_EMULATOR") == nullptr) {
        return folder.string();
    }
    std::string shown = "Z:" + folder.string();
    std::replace(shown.begin(), shown.end(), '/', '\\');
    return shown;
}

struct PlaceCase {
    const char* what;
    std::vector<const char*> files; // in the working folder besides the script
    bool script_elsewhere;          // given by its full path from another folder
    bool updated;
};

// Only the game's folder holds COMMIT.DAT: anywhere else nothing is made or
// started, and the player is told where morvplay ran.
TEST(LauncherCommitDat, AFolderWithoutOneIsNamedAndLeftAsItWas) {
    const PlaceCase cases[] = {
        {"a received demo folder", {"DUEL01.DMO", "ARENA.map"}, false, false},
        {"an empty folder", {}, true, false},
        {"commit.dat in lower case", {"commit.dat"}, false, true},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        ScratchFolder elsewhere;
        const fs::path script = (c.script_elsewhere ? elsewhere.path : folder.path) / "MATCH.MORV";
        write_file(script, "PLAYERS = 2\r\n---\r\nINSTANCE1 = MOUNT C .\r\n");
        for (const char* name : c.files) {
            write_file(folder.path / name, "NUMPLAYERS = 4\r\n");
        }
        add_stand_in_emulator(folder.path);
        const std::vector<std::string> before = names_in(folder.path);
        const ProgramRun run = run_program(
            {built_program("morvplay"), c.script_elsewhere ? script.string() : "MATCH.MORV"}, "",
            folder.path);
        EXPECT_EQ(run.exit_status, 0);
        if (c.updated) {
            EXPECT_EQ(read_file(folder.path / "commit.dat"), "NUMPLAYERS = 2\r\n");
            EXPECT_NE(run.output.find("COMMIT.DAT updated.\r\n"), std::string::npos);
            continue;
        }
        EXPECT_EQ(run.output, "There is no COMMIT.DAT in " + shown_folder(folder.path) +
                                  "; nothing was changed or started.\r\n"
                                  "Put the launch script, its demo and its map into the game "
                                  "folder and start it there.\r\n");
        EXPECT_EQ(names_in(folder.path), before) << "no COMMIT.DAT made, no emulator started";
    }
}

} // namespace
} // namespace morv_test
