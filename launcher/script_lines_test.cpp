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

TEST(ScriptLines, PlayersLinesAreFoundBeforeTheFirstEqualsAndReadAsRoundedNumbers) {
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
        {"INSTANCE1 = MOUNT C . & C: & ipxsetup -player 1 -name PLAYERS", false, 0},
        {"INSTANCE1 = ipxsetup -map PLAYERS.map -name PLAYERS=3", false, 0},
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
        {"PLAYERS = INSTANCE1 = x", ""},
        {"INSTANCE1 = ipxsetup -name INSTANCE=x", "ipxsetup -name INSTANCE=x"},
        {"---", ""},
    };
    for (const auto& [line, value] : cases) {
        EXPECT_EQ(instance_line_value(line), value) << line;
    }
}

TEST(ScriptLines, TheFirstPassTakesTheLastCountAndRefusesOtherCommands) {
    const struct {
        const char* bytes;
        int result;
        std::int32_t count;
        const char* refused;
    } cases[] = {
        {"PLAYERS = 3\r\nPLAYERS = 2\r\n", SCRIPT_ACCEPTED, 2, ""},
        {"PLAYERS = 2\r\n---\r\nINSTANCE1 = MOUNT C . & C:\r\nINSTANCE2 = \r\n", SCRIPT_ACCEPTED, 2,
         ""},
        {"PLAYERS = 2\r\nINSTANCE1 = MOUNT C . & ipxsetup -name PLAYERS\r\n", SCRIPT_ACCEPTED, 2,
         ""},
        {"   PLAYERS = 7   \nINSTANCE1 = C:\n", SCRIPT_ACCEPTED, 7, ""},
        {"PLAYERS = 5", SCRIPT_ACCEPTED, 5, ""},
        {"PLAYERS = 4\r\n\x1aPLAYERS = 6\r\n", SCRIPT_ACCEPTED, 4, ""},
        {"\r\n\r\n", SCRIPT_ACCEPTED, 0, ""},
        {"", SCRIPT_ACCEPTED, 0, ""},
        {"PLAYERS = 2\r\nINSTANCE1 = MOUNT C . &  & MOUNT D / & D:\r\n", SCRIPT_REFUSED, 2,
         "MOUNT D /"},
        {"INSTANCE1 = C: & DEL X\r\nPLAYERS = 2\r\n", SCRIPT_REFUSED, 0, "DEL X"},
    };
    morv_test::ScratchFolder folder;
    const std::string script = (folder.path / "MATCH.MORV").string();
    for (const auto& c : cases) {
        morv_test::write_file(script, c.bytes);
        std::int32_t read = -99;
        std::string refused;
        EXPECT_EQ(read_player_count(script, read, refused), c.result) << c.bytes;
        EXPECT_EQ(read, c.count) << c.bytes;
        EXPECT_EQ(refused, c.refused) << c.bytes;
    }
    std::int32_t none = -99;
    std::string refused;
    EXPECT_EQ(read_player_count((folder.path / "NONE.MORV").string(), none, refused),
              SCRIPT_UNREADABLE);
    EXPECT_EQ(none, 0);
}

} // namespace
} // namespace morv
