// The NUMPLAYERS rule and the rewrite of COMMIT.DAT in the working folder.
// (What happens when it cannot be rewritten is shown by whole morvplay runs.)
#include "commit_dat.h"
#include "console.h"
#include "console_double.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace morv {
namespace {

namespace fs = std::filesystem;

TEST(CommitDat, NumplayersLinesAreKeyAndEqualsOutsideAComment) {
    const std::pair<const char*, bool> cases[] = {
        {"NUMPLAYERS = 4", true},
        {"numplayers=3", true},
        {"   NumPlayers = 8   ", true},
        {"NUMPLAYERS = 4 ; four players", true},
        {"\t; NUMPLAYERS = 4", true}, // only blanks are trimmed: a tab comes first
        {"MAXNUMPLAYERSX 1 = 2", true},
        {"MODEM = 1 NUMPLAYERS", true},
        {"; NUMPLAYERS = 4", false},
        {"   ;NUMPLAYERS = 4", false},
        {"NUMPLAYERS", false},
        {"NUM PLAYERS = 4", false},
        {"", false},
    };
    for (const auto& [line, replaced] : cases) {
        // A long line is judged piece by piece: every cut gives the same.
        const std::string whole = line;
        for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
            LineScan scan;
            scan_line_piece(scan, whole.substr(0, cut));
            scan_line_piece(scan, whole.substr(cut));
            EXPECT_EQ(scan_is_numplayers_line(scan), replaced) << line << " cut at " << cut;
        }
    }
}

// Runs the update in a folder of its own, as the launcher does in its
// working folder.
struct CommitFolder : ::testing::Test {
    morv_test::ScratchFolder folder;
    fs::path previous = fs::current_path();
    void SetUp() override {
        fs::current_path(folder.path);
        double_reset(false);
        start_console(0, nullptr);
    }
    void TearDown() override { fs::current_path(previous); }
    std::string commit_dat() const { return morv_test::read_file(folder.path / "COMMIT.DAT"); }
};

struct RewriteCase {
    const char* before;
    std::int32_t count;
    const char* after;
};

TEST_F(CommitFolder, RewritesEveryNumplayersLineAndCopiesTheRestWithCrLf) {
    const RewriteCase cases[] = {
        {"[net]\r\nNUMPLAYERS = 4\r\nCOMMTYPE = 3\r\n", 2,
         "[net]\r\nNUMPLAYERS = 2\r\nCOMMTYPE = 3\r\n"},
        {"  numplayers=3 ; old\r\n; NUMPLAYERS = 4\r\nNumPlayers = 8\r\n", 2,
         "NUMPLAYERS = 2\r\n; NUMPLAYERS = 4\r\nNUMPLAYERS = 2\r\n"},
        {"\t; NUMPLAYERS = 4\r\n  keep me  \r\n\r\nNUMPLAYERS\r\n", 3,
         "NUMPLAYERS = 3\r\n  keep me  \r\n\r\nNUMPLAYERS\r\n"},
        {"A = 1\nNUMPLAYERS = 4\nB = 2", 2, "A = 1\r\nNUMPLAYERS = 2\r\nB = 2\r\n"},
        {"NUMPLAYERS = 4\r\nA = 1\r\n\x1a"
         "junk",
         2, "NUMPLAYERS = 2\r\nA = 1\r\n"},
        {"NUMPLAYERS = 4\r\n", 0, "NUMPLAYERS = 0\r\n"},
        {"NUMPLAYERS = 4\r\n", -1, "NUMPLAYERS = -1\r\n"},
        {"no setting here\r\n", 2, "no setting here\r\n"},
        {"", 2, ""},
    };
    for (const RewriteCase& c : cases) {
        morv_test::write_file("COMMIT.DAT", c.before);
        morv_test::write_file("temp.txt", "old scratch content\r\n");
        update_commit_dat(c.count);
        EXPECT_EQ(commit_dat(), c.after) << c.before;
        EXPECT_FALSE(fs::exists("temp.txt")) << c.before;
    }
    std::string closing_lines;
    for (std::size_t k = 0; k < std::size(cases); ++k) {
        closing_lines += "COMMIT.DAT updated.\r\n";
    }
    EXPECT_EQ(double_output(), closing_lines);
}

} // namespace
} // namespace morv
