// No user-controlled text ever reaches a shell. Player names written to look
// like shell commands go through morvmake into the launch script and through
// morvplay to the emulator: a stand-in dosbox.exe records the arguments it
// receives, and no command hidden in a name ever runs (no file PWNED appears).
// Names with "%", "?", "*", backslashes (a final one too) and bytes above 127
// reach the emulator as typed; names holding quotes, "&", "<", ">" or "|" are
// refused at their prompt and typed again.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

using Arguments = std::vector<std::string>;

// Everything before the player's name in the last command of player k of n,
// level 5, colour k - 1.
std::string last_command_head(int k, int n) {
    return "ipxsetup -player " + std::to_string(k) + " -nodes " + std::to_string(n) +
           " vcommit sw.exe -dpDUEL01.DMO -level5 -autonet 0,3,0,1,1,0,20,0," +
           std::to_string(k - 1) + ",0 -name ";
}

Arguments emulator_arguments(int k, const Arguments& last_commands) {
    Arguments arguments = {
        "-conf", "dosbox.conf", "-c", "MOUNT C .",
        "-c",    "C:",          "-c", k == 1 ? "ipxnet startserver" : "ipxnet connect localhost"};
    for (const std::string& command : last_commands) {
        arguments.push_back("-c");
        arguments.push_back(command);
    }
    return arguments;
}

struct NameCase {
    std::string name;                   // what is typed; a refused name is followed by another line
    Arguments last_commands_after_head; // the head goes before the first one
};

std::vector<Arguments> recorded_starts(const std::string& log) {
    std::vector<Arguments> starts(1);
    std::size_t at = 0;
    for (std::size_t end = log.find('\n'); end != std::string::npos; end = log.find('\n', at)) {
        const std::string line = log.substr(at, end - at);
        at = end + 1;
        if (line == "----") {
            starts.emplace_back();
        } else {
            starts.back().push_back(line);
        }
    }
    starts.pop_back();
    return starts;
}

struct ShellFolder : ::testing::Test {
    ScratchFolder folder;
    ScratchFolder empty_path;
    // No installed emulator, and no shell either, can be found.
    PathGuard path{empty_path.path.string()};

    // morvmake with these names in level mode, then morvplay on its script;
    // returns the emulator starts recorded once all of them have finished.
    std::vector<Arguments> make_and_play(const std::vector<std::string>& names) {
        write_file(folder.path / "DUEL01.DMO", "demo");
        write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n");
        // One record per start in launches.log: the arguments, one a line,
        // and a closing "----"; the stand-in interprets nothing.
        add_stand_in_emulator(folder.path);
        std::string answers = std::to_string(names.size()) + "\nL\n5\n";
        for (std::size_t k = 0; k < names.size(); ++k) {
            answers += names[k] + "\n" + std::to_string(k) + "\n";
        }
        for (std::size_t k = 0; k < names.size(); ++k) {
            answers += "1\n";
        }
        const ProgramRun made =
            run_program({built_program("morvmake"), "DUEL01.DMO"}, answers, folder.path);
        EXPECT_EQ(made.exit_status, 0);
        EXPECT_NE(made.output.find("BANZAI!!"), std::string::npos);
        const ProgramRun played =
            run_program({built_program("morvplay"), "DUEL01.MORV"}, "", folder.path, 60.0);
        EXPECT_EQ(played.exit_status, 0);
        EXPECT_EQ(played.errors, "");
        std::vector<Arguments> starts;
        for (int tries = 0; tries < 500; ++tries) {
            starts = recorded_starts(read_file(folder.path / "launches.log"));
            if (starts.size() >= names.size()) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return starts;
    }

    bool pwned_anywhere() const {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder.path)) {
            if (entry.path().filename() == "PWNED") {
                return true;
            }
        }
        return fs::exists(fs::current_path() / "PWNED") || fs::exists(empty_path.path / "PWNED");
    }
};

TEST_F(ShellFolder, NamesThatLookLikeShellCommandsRunNothing) {
    const std::vector<NameCase> cases = {
        {"x\";touch PWNED;\"\nx;touch PWNED;", {"x;touch PWNED;"}},
        {"$(touch PWNED)", {"$(touch PWNED)"}},
        {"`touch PWNED`", {"`touch PWNED`"}},
        {"a; touch PWNED | touch PWNED\na; touch PWNED", {"a; touch PWNED"}},
    };
    std::vector<std::string> names;
    for (const NameCase& c : cases) {
        names.push_back(c.name);
    }
    const std::vector<Arguments> starts = make_and_play(names);
    ASSERT_EQ(starts.size(), cases.size()) << "every instance reached the stand-in";
    const int n = static_cast<int>(cases.size());
    for (int k = 1; k <= n; ++k) {
        const NameCase& c = cases[static_cast<std::size_t>(k - 1)];
        SCOPED_TRACE(c.name);
        Arguments last = c.last_commands_after_head;
        last[0] = last_command_head(k, n) + last[0];
        EXPECT_EQ(starts[static_cast<std::size_t>(k - 1)], emulator_arguments(k, last));
    }
    EXPECT_FALSE(pwned_anywhere());
}

TEST_F(ShellFolder, NamesWithWildcardsBackslashesAndHighBytesReachTheEmulator) {
    const std::vector<NameCase> cases = {
        {"Tom \"Ace\" 100%\nTom 'Ace' 100%", {"Tom 'Ace' 100%"}},
        {"R&D?*\nR+D?*", {"R+D?*"}},
        // A final backslash would take the closing quote with it.
        {"C:\\GAMES\\", {"C:\\GAMES\\"}},
        {"C:\\DOS\\x %PATH%", {"C:\\DOS\\x %PATH%"}},
        {"\xC4\xE9\xFF $HOME", {"\xC4\xE9\xFF $HOME"}},
    };
    std::vector<std::string> names;
    for (const NameCase& c : cases) {
        names.push_back(c.name);
    }
    const std::vector<Arguments> starts = make_and_play(names);
    ASSERT_EQ(starts.size(), cases.size()) << "every instance reached the stand-in";
    const int n = static_cast<int>(cases.size());
    for (int k = 1; k <= n; ++k) {
        const NameCase& c = cases[static_cast<std::size_t>(k - 1)];
        SCOPED_TRACE(c.name);
        Arguments last = c.last_commands_after_head;
        last[0] = last_command_head(k, n) + last[0];
        EXPECT_EQ(starts[static_cast<std::size_t>(k - 1)], emulator_arguments(k, last));
    }
}

} // namespace
} // namespace morv_test
