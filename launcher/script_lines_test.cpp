// The launcher's reading rules: which lines set the player count and which
// start an instance, and the first pass over whole scripts.
#include "launcher_run.h"
#include "scratch_folder.h"
#include "script_lines.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

struct PlayersCase {
    const char* line;
    bool counts;
    std::int32_t count;
};

TEST(ScriptLines, PlayersLinesAreFoundByContainmentAndReadAsRoundedNumbers) {
    const PlayersCase cases[] = {
        {"PLAYERS = 2", true, 2},
        {"PLAYERS=4", true, 4},
        {"PLAYERS =", true, 0},
        {"PLAYERS = 2.5", true, 2},
        {"PLAYERS = 3.5", true, 4},
        {"PLAYERS = -1", true, -1},
        {"PLAYERS = abc", true, 0},
        {"PLAYERS = 2 = 3", true, 2},
        {"NUMPLAYERS = 5", true, 5},
        {"\tPLAYERS = 6", true, 6},
        {"INSTANCE1 = MOUNT C . & C: & ipxsetup -player 1 -name PLAYERS", true, 0},
        {"players = 2", false, 0},
        {"PLAYERS 2", false, 0},
        {"---", false, 0},
        {"", false, 0},
    };
    for (const PlayersCase& c : cases) {
        std::int32_t count = 99;
        const int result = read_players_line(c.line, count);
        EXPECT_EQ(result == 0, c.counts) << c.line;
        EXPECT_EQ(count, c.counts ? c.count : 99) << c.line;
    }
}

TEST(ScriptLines, InstanceValuesAreTheTrimmedTextBehindTheFirstEquals) {
    const std::pair<const char*, const char*> cases[] = {
        {"INSTANCE1 = MOUNT C . & C:", "MOUNT C . & C:"},
        {"INSTANCE3 =", ""},
        {"INSTANCE3 = ", ""},
        {"INSTANCE1 = a=b = c", "a=b = c"},
        {"INSTANCE1=x", "x"},
        {"INSTANCE1 =\tx", "\tx"},
        {"SUBINSTANCES = run", "run"},
        {"instance1 = x", ""},
        {"INSTANCE1 x", ""},
        {"PLAYERS = 2", ""},
        {"---", ""},
    };
    for (const auto& [line, value] : cases) {
        EXPECT_EQ(instance_line_value(line), value) << line;
    }
}

TEST(ScriptLines, TheLastPlayersLineOfTheWholeScriptDecidesTheCount) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"PLAYERS = 3\r\nPLAYERS = 2\r\n", 2},
        {"PLAYERS = 2\r\n---\r\nINSTANCE1 = MOUNT C . & C:\r\nINSTANCE2 = \r\n", 2},
        {"PLAYERS = 2\r\nINSTANCE1 = MOUNT C . & ipxsetup -name PLAYERS\r\n", 0},
        {"   PLAYERS = 7   \nINSTANCE1 = x\n", 7},
        {"PLAYERS = 5", 5},
        {"PLAYERS = 4\r\n\x1aPLAYERS = 6\r\n", 4},
        {"\r\n\r\n", 0},
        {"", 0},
    };
    morv_test::ScratchFolder folder;
    const std::string script = (folder.path / "MATCH.MORV").string();
    for (const auto& [bytes, count] : cases) {
        morv_test::write_file(script, bytes);
        std::int32_t read = -99;
        EXPECT_EQ(read_player_count(script, read), 0) << bytes;
        EXPECT_EQ(read, count) << bytes;
    }
    std::int32_t none = -99;
    EXPECT_NE(read_player_count((folder.path / "NONE.MORV").string(), none), 0);
    EXPECT_EQ(none, 0);
}

} // namespace
} // namespace morv
