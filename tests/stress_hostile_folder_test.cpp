// Hostile folders: links, other users' files, modes, FIFOs, devices and a
// full disk under the names the programs read and write. No file outside the
// game's folder is ever touched, nothing blocks, and no failure ends in a
// success line. Owners and a full tmpfs need root; those cases are skipped
// otherwise.
#include "program_runner.h"
#include "sanitized_build.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

constexpr unsigned NOBODY = 65534;
const std::string COMMIT_BEFORE = "NUMPLAYERS = 4\r\n";
const std::string OTHER = "a file of someone else's\r\n";
const std::string UPDATED = "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n";
const std::string NOT_WRITTEN = "PLAYERS =  3\r\ntemp.txt could not be written; COMMIT.DAT was "
                                "left as it was.\r\nAll instances launched.\r\n";
const std::string NOT_READ =
    "PLAYERS =  3\r\nCOMMIT.DAT could not be read and was left as it was.\r\nAll instances "
    "launched.\r\n";
const std::string SCRIPT_NOT_READ = "P.MORV could not be read; nothing was changed or started.\r\n";

using Make = std::function<void(const fs::path& folder, const fs::path& elsewhere)>;

struct FolderCase {
    const char* what;
    bool needs_root;
    const char* program;
    Make make;
    std::string output; // the whole output of morvplay, the end of morvmake's
    const char* commit_after;
    unsigned commit_mode;  // 0: not looked at
    unsigned commit_owner; // 0: whoever runs the test
};

void fill_disk(const fs::path& folder, const char* size) {
    ASSERT_EQ(mount("tmpfs", folder.c_str(), "tmpfs", 0, size), 0);
}

void fifo(const fs::path& file) {
    fs::remove(file);
    mkfifo(file.c_str(), 0666);
}

void to_zero(const fs::path& file) {
    fs::remove(file);
    fs::create_symlink("/dev/zero", file);
}

const FolderCase CASES[] = {
    {"temp.txt a link to a file elsewhere", false, "morvplay",
     [](auto& f, auto& e) { fs::create_symlink(e / "other.txt", f / "temp.txt"); }, UPDATED,
     "NUMPLAYERS = 3\r\n", 0, 0},
    {"temp.txt a hard link to a file elsewhere", false, "morvplay",
     [](auto& f, auto& e) { fs::create_hard_link(e / "other.txt", f / "temp.txt"); }, UPDATED,
     "NUMPLAYERS = 3\r\n", 0, 0},
    {"temp.txt a link to nothing", false, "morvplay",
     [](auto& f, auto& e) { fs::create_symlink(e / "new.txt", f / "temp.txt"); }, UPDATED,
     "NUMPLAYERS = 3\r\n", 0, 0},
    {"temp.txt a folder", false, "morvplay",
     [](auto& f, auto&) { fs::create_directory(f / "temp.txt"); }, NOT_WRITTEN,
     COMMIT_BEFORE.c_str(), 0, 0},
    {"temp.txt another user's, read-only", true, "morvplay",
     [](auto& f, auto&) {
         write_file(f / "temp.txt", "x");
         ASSERT_EQ(chown((f / "temp.txt").c_str(), NOBODY, NOBODY), 0);
         chmod((f / "temp.txt").c_str(), 0444);
     },
     UPDATED, "NUMPLAYERS = 3\r\n", 0100644, 0},
    {"COMMIT.DAT another user's, mode 0640", true, "morvplay",
     [](auto& f, auto&) {
         ASSERT_EQ(chown((f / "COMMIT.DAT").c_str(), NOBODY, NOBODY), 0);
         chmod((f / "COMMIT.DAT").c_str(), 0640);
     },
     UPDATED, "NUMPLAYERS = 3\r\n", 0100640, NOBODY},
    {"COMMIT.DAT private, mode 0600", false, "morvplay",
     [](auto& f, auto&) { chmod((f / "COMMIT.DAT").c_str(), 0600); }, UPDATED, "NUMPLAYERS = 3\r\n",
     0100600, 0},
    {"COMMIT.DAT a FIFO", false, "morvplay", [](auto& f, auto&) { fifo(f / "COMMIT.DAT"); },
     NOT_READ, nullptr, 0, 0},
    {"COMMIT.DAT a link to /dev/zero", false, "morvplay",
     [](auto& f, auto&) { to_zero(f / "COMMIT.DAT"); }, NOT_READ, nullptr, 0, 0},
    {"the launch script a FIFO", false, "morvplay", [](auto& f, auto&) { fifo(f / "P.MORV"); },
     SCRIPT_NOT_READ, COMMIT_BEFORE.c_str(), 0, 0},
    {"the launch script a link to /dev/zero", false, "morvplay",
     [](auto& f, auto&) { to_zero(f / "P.MORV"); }, SCRIPT_NOT_READ, COMMIT_BEFORE.c_str(), 0, 0},
    {"COMMIT.DAT on a full disk", true, "morvplay",
     [](auto& f, auto&) {
         fill_disk(f, "size=64k");
         write_file(f / "P.MORV", "PLAYERS = 3\r\n");
         write_file(f / "COMMIT.DAT", std::string(40000, 'x') + "\r\n" + COMMIT_BEFORE);
     },
     NOT_WRITTEN, nullptr, 0, 0},
    {"the demo a FIFO", false, "morvmake", [](auto& f, auto&) { fifo(f / "DUEL01.DMO"); },
     "  - Failed to copy .DMO (file not found?)\r\n", nullptr, 0, 0},
    {"the map a link to /dev/zero", false, "morvmake",
     [](auto& f, auto&) { to_zero(f / "ARENA.map"); },
     "  - Failed to copy .MAP (file not found?)\r\n", nullptr, 0, 0},
    {"the launch script read-only", false, "morvmake",
     [](auto& f, auto&) {
         write_file(f / "DUEL01.MORV", "OLD");
         chmod((f / "DUEL01.MORV").c_str(), 0444);
     },
     "Error creating file!\r\n", nullptr, 0, 0},
    {"the launch script on a full disk", true, "morvmake",
     [](auto& f, auto&) {
         fill_disk(f, "size=12k");
         for (const char* name : {"DUEL01.DMO", "ARENA.map", "DUEL01.MORV"}) {
             write_file(f / name, "OLD");
         }
     },
     "Error creating file!\r\n", nullptr, 0, 0},
};

ProgramRun run_case(const FolderCase& c, const fs::path& folder) {
    if (std::string(c.program) == "morvplay") {
        return run_program({built_program("morvplay"), "P.MORV"}, "", folder, 20.0);
    }
    return run_program({built_program("morvmake"), "DUEL01.DMO"}, "1\nM\nARENA\nHawk\n2\n3\n",
                       folder, 20.0);
}

void expect_commit_dat(const FolderCase& c, const fs::path& folder) {
    struct stat status {};
    if (c.commit_after != nullptr) {
        EXPECT_EQ(read_file(folder / "COMMIT.DAT"), c.commit_after);
    }
    if (c.commit_mode != 0 && lstat((folder / "COMMIT.DAT").c_str(), &status) == 0) {
        EXPECT_EQ(status.st_mode & 0170777, c.commit_mode);
        EXPECT_EQ(status.st_uid, c.commit_owner != 0 ? c.commit_owner : geteuid());
        EXPECT_EQ(status.st_gid, c.commit_owner != 0 ? c.commit_owner : getegid());
    }
}

TEST(StressHostileFolder, NothingOutsideIsTouchedNothingBlocksAndNoFailureReadsAsSuccess) {
    ScratchFolder empty_path;
    const PathGuard path{empty_path.path.string()};
    for (const FolderCase& c : CASES) {
        if (c.needs_root && geteuid() != 0) {
            continue;
        }
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        ScratchFolder elsewhere;
        write_file(elsewhere.path / "other.txt", OTHER);
        write_file(folder.path / "COMMIT.DAT", COMMIT_BEFORE);
        write_file(folder.path / "P.MORV", "PLAYERS = 3\r\n");
        write_file(folder.path / "DUEL01.DMO", "demo");
        write_file(folder.path / "ARENA.map", "map");
        c.make(folder.path, elsewhere.path);
        const ProgramRun run = run_case(c, folder.path);
        EXPECT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_status, 0);
        if (std::string(c.program) == "morvplay") {
            EXPECT_EQ(run.output, c.output);
        } else {
            EXPECT_NE(run.output.find(c.output), std::string::npos) << run.output;
        }
        expect_commit_dat(c, folder.path);
        EXPECT_EQ(names_in(elsewhere.path), std::vector<std::string>{"other.txt"});
        EXPECT_EQ(read_file(elsewhere.path / "other.txt"), OTHER);
        for (const std::string& name : names_in(folder.path)) {
            EXPECT_EQ(name.find(".morv-copy-"), std::string::npos) << name;
        }
        if (c.output == NOT_WRITTEN) {
            EXPECT_FALSE(fs::is_regular_file(folder.path / "temp.txt")) << "a partial copy";
        }
        if (c.output == "Error creating file!\r\n") {
            EXPECT_EQ(read_file(folder.path / "DUEL01.MORV"), "OLD");
        }
        umount2(folder.path.c_str(), MNT_DETACH);
    }
}

// Memory follows the work, not the input: one line of 50 MB is copied in
// pieces, byte for byte, also when its key comes only at its end.
TEST(StressHostileFolder, ACommitDatLineOf50MbIsCopiedExactlyInLittleMemory) {
    ScratchFolder folder;
    // Held by this process only after the run: a forked child counts what
    // its parent holds until it starts the program.
    const std::string mb(1024u * 1024u, 'x');
    {
        std::ofstream commit(folder.path / "COMMIT.DAT", std::ios::binary);
        for (const char* end : {"\r\n", " NUMPLAYERS = 4\r\n"}) {
            for (int k = 0; k < 50; ++k) {
                commit << mb;
            }
            commit << end;
        }
    }
    write_file(folder.path / "P.MORV", "PLAYERS = 3\r\n");
    const ProgramRun run = run_program({built_program("morvplay"), "P.MORV"}, "", folder.path);
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    EXPECT_EQ(run.output, UPDATED);
    const std::string after = read_file(folder.path / "COMMIT.DAT");
    EXPECT_EQ(after.size(), 50u * mb.size() + 18u);
    EXPECT_EQ(after.find_first_not_of('x'), 50u * mb.size());
    EXPECT_EQ(after.substr(50u * mb.size()), "\r\nNUMPLAYERS = 3\r\n");
    if (!SANITIZED_BUILD) { // its shadow memory outweighs what is measured
        EXPECT_LT(usage.ru_maxrss, 32 * 1024) << "peak kilobytes";
    }
}

} // namespace
} // namespace morv_test
