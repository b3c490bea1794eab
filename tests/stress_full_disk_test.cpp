// A disk that fills up part-way: each program runs under a file size limit
// that lets its writes go through up to a chosen byte and fails every write
// past it. The limit's signal is left at its default, as "ulimit -f" leaves
// it: the programs themselves must turn it into a failed write.
// A launch script cut short must end the run with "Error creating file!" and
// leave no file; a COMMIT.DAT copy cut short must leave COMMIT.DAT as it was;
// a demo copy cut short must be reported and leave no part of a demo behind.
#include "generator_dialogue.h"
#include "program_runner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

// Programs started while this lives cannot write a file past limit bytes.
struct FileSizeLimit {
    explicit FileSizeLimit(std::uintmax_t limit) {
        getrlimit(RLIMIT_FSIZE, &previous);
        previous_handler = std::signal(SIGXFSZ, SIG_DFL);
        rlimit lowered = previous;
        lowered.rlim_cur = static_cast<rlim_t>(limit);
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previous_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    rlimit previous{};
    void (*previous_handler)(int) = SIG_DFL;
};

// ---- The launch script ------------------------------------------------------------

const std::string SOLO_MAP_ANSWERS = "1\nM\nARENA\nHawk\n2\n3\n";

const std::string SOLO_MAP_SCRIPT = lines({
    "PLAYERS = 1",
    "---",
    "INSTANCE1 = MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 -nodes 1 vcommit sw.exe "
    "-dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,2,0 -name Hawk",
    "INSTANCE2 = ",
    "INSTANCE3 = ",
    "INSTANCE4 = ",
    "INSTANCE5 = ",
    "INSTANCE6 = ",
    "INSTANCE7 = ",
    "INSTANCE8 = ",
});

ProgramRun make_solo_map(const fs::path& folder) {
    return run_program({built_program("morvmake"), "DUEL01.DMO"}, SOLO_MAP_ANSWERS, folder);
}

TEST(StressFullDisk, ALaunchScriptCutShortIsAnErrorAndLeavesNoFile) {
    const std::uintmax_t full = SOLO_MAP_SCRIPT.size();
    for (const std::uintmax_t limit : {std::uintmax_t{0}, std::uintmax_t{1}, std::uintmax_t{13},
                                       std::uintmax_t{100}, full / 2, full - 2, full - 1}) {
        SCOPED_TRACE("the disk fills after " + std::to_string(limit) + " bytes");
        ScratchFolder folder;
        write_file(folder.path / "DUEL01.DMO", "demo");
        write_file(folder.path / "ARENA.map", "map");
        ProgramRun run;
        {
            const FileSizeLimit disk(limit);
            run = make_solo_map(folder.path);
        }
        EXPECT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_status, 0);
        const std::string error = lines({"Player 1 Color (0-7): ", "Error creating file!"});
        ASSERT_GE(run.output.size(), error.size());
        EXPECT_EQ(run.output.substr(run.output.size() - error.size()), error);
        EXPECT_EQ(run.output.find("BANZAI!!"), std::string::npos);
        EXPECT_FALSE(fs::exists(folder.path / "DUEL01.MORV"));
    }
}

TEST(StressFullDisk, ALaunchScriptThatJustFitsIsWritten) {
    ScratchFolder folder;
    write_file(folder.path / "DUEL01.DMO", "demo");
    write_file(folder.path / "ARENA.map", "map");
    ProgramRun run;
    {
        const FileSizeLimit disk(SOLO_MAP_SCRIPT.size());
        run = make_solo_map(folder.path);
    }
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_NE(run.output.find("BANZAI!!"), std::string::npos);
    EXPECT_EQ(read_file(folder.path / "DUEL01.MORV"), SOLO_MAP_SCRIPT);
}

// The script fits, the demo does not: the copy is reported as failed and the
// demo folder holds no part of the demo.
TEST(StressFullDisk, ADemoCopyCutShortIsReportedAndLeavesNoPart) {
    ScratchFolder folder;
    write_file(folder.path / "DUEL01.DMO", std::string(300000, 'd'));
    write_file(folder.path / "ARENA.map", "map");
    ProgramRun run;
    {
        const FileSizeLimit disk(100000);
        run = make_solo_map(folder.path);
    }
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_NE(run.output.find(COPY_FAILURE_HEAD), std::string::npos);
    EXPECT_NE(run.output.find("BANZAI!!"), std::string::npos);
    int demo_folders = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder.path)) {
        if (!entry.is_directory()) {
            continue;
        }
        ++demo_folders;
        EXPECT_FALSE(fs::exists(entry.path() / "DUEL01.DMO")) << "a part of the demo was left";
        EXPECT_EQ(read_file(entry.path() / "DUEL01.MORV"), SOLO_MAP_SCRIPT);
        EXPECT_EQ(read_file(entry.path() / "ARENA.map"), "map");
        for (const fs::directory_entry& inside : fs::directory_iterator(entry.path())) {
            EXPECT_TRUE(inside.path().filename() == "DUEL01.MORV" ||
                        inside.path().filename() == "ARENA.map")
                << "left behind: " << inside.path().filename();
        }
    }
    EXPECT_EQ(demo_folders, 1);
}

// ---- COMMIT.DAT --------------------------------------------------------------------

// CR LF line ends and a count of the same width, so the updated file has the
// old one's size and every limit below it cuts the copy short.
std::string commit_dat(const char* count) {
    std::string bytes = "[network]\r\nNUMPLAYERS = " + std::string(count) + "\r\n";
    for (int k = 0; k < 3000; ++k) {
        bytes += "SETTING" + std::to_string(k) + " = " + std::to_string(k * 7) + "\r\n";
    }
    return bytes;
}

// The script is written before the limit is set.
ProgramRun play_three(const fs::path& folder) {
    return run_program({built_program("morvplay"), "MATCH.MORV"}, "", folder);
}

TEST(StressFullDisk, ACommitDatCopyCutShortLeavesCommitDatAsItWas) {
    const std::string before = commit_dat("4");
    const std::uintmax_t full = before.size();
    for (const std::uintmax_t limit :
         {std::uintmax_t{0}, std::uintmax_t{1}, std::uintmax_t{8191}, std::uintmax_t{8192},
          std::uintmax_t{8193}, full / 2, full - 1}) {
        SCOPED_TRACE("the disk fills after " + std::to_string(limit) + " bytes");
        ScratchFolder folder;
        write_file(folder.path / "COMMIT.DAT", before);
        write_file(folder.path / "MATCH.MORV", "PLAYERS = 3\r\n");
        ProgramRun run;
        {
            const FileSizeLimit disk(limit);
            run = play_three(folder.path);
        }
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_EQ(run.output, "PLAYERS =  3\r\n"
                              "temp.txt could not be written; COMMIT.DAT was left as it was.\r\n"
                              "All instances launched.\r\n");
        EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), before);
        EXPECT_FALSE(fs::exists(folder.path / "temp.txt")) << "a partial copy fills the disk";
    }
}

TEST(StressFullDisk, ACommitDatCopyThatJustFitsReplacesIt) {
    ScratchFolder folder;
    write_file(folder.path / "COMMIT.DAT", commit_dat("4"));
    write_file(folder.path / "MATCH.MORV", "PLAYERS = 3\r\n");
    ProgramRun run;
    {
        const FileSizeLimit disk(commit_dat("3").size());
        run = play_three(folder.path);
    }
    EXPECT_EQ(run.output, "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n");
    EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), commit_dat("3"));
    EXPECT_FALSE(fs::exists(folder.path / "temp.txt"));
}

} // namespace
} // namespace morv_test
