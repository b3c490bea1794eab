// Crash safety of the COMMIT.DAT update: morvplay is killed (SIGKILL) at
// random instants while it rewrites a large COMMIT.DAT, over and over. After
// every kill the folder must hold COMMIT.DAT either exactly as it was or
// exactly as updated: never missing, empty or a part of either.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int KILLS = 1000;
// One run should take about this long, so that a thousand kills fit in well
// under a minute; the file grows or shrinks until it does.
constexpr double RUN_SECONDS_WANTED = 0.03;
constexpr double TEST_SECONDS_LIMIT = 150.0;

std::string commit_dat(int setting_lines, const char* count) {
    std::string bytes = "[network]\r\nNUMPLAYERS = " + std::string(count) + "\r\n";
    for (int k = 0; k < setting_lines; ++k) {
        bytes += "SETTING" + std::to_string(k) + " = some value of the game ; and a comment\r\n";
    }
    return bytes;
}

// Starts morvplay on the script in the folder, its console on /dev/null.
pid_t start_player(const fs::path& folder) {
    const std::string program = built_program("morvplay");
    const pid_t child = fork();
    if (child == 0) {
        const int none = open("/dev/null", O_RDWR);
        dup2(none, STDIN_FILENO);
        dup2(none, STDOUT_FILENO);
        dup2(none, STDERR_FILENO);
        if (chdir(folder.c_str()) != 0) {
            _exit(126);
        }
        execl(program.c_str(), program.c_str(), "MATCH.MORV", static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// True when the program had ended by itself.
bool kill_after(pid_t child, double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == child) {
        return true;
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return false;
}

double full_run_seconds(const fs::path& folder, const std::string& before) {
    write_file(folder / "COMMIT.DAT", before);
    const auto start = Clock::now();
    const pid_t child = start_player(folder);
    int status = 0;
    waitpid(child, &status, 0);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Tally {
    int kills = 0;
    int ended_by_itself = 0;
    int old_without_copy = 0; // killed before the copy was begun
    int old_with_copy = 0;    // killed while temp.txt was being written
    int updated = 0;          // killed after the new file took the old one's place
    int broken = 0;           // missing, empty or partial
};

TEST(StressCommitKill, EveryKillLeavesTheOldOrTheCompleteNewFile) {
    ScratchFolder folder;
    write_file(folder.path / "MATCH.MORV", "PLAYERS = 3\r\n");

    // Size the file so that one whole run lasts about RUN_SECONDS_WANTED.
    int lines = 100000;
    double run_seconds = full_run_seconds(folder.path, commit_dat(lines, "4"));
    for (int round = 0; round < 3; ++round) {
        const double scale = RUN_SECONDS_WANTED / std::max(run_seconds, 0.001);
        lines = std::clamp(static_cast<int>(lines * scale), 20000, 400000);
        run_seconds = full_run_seconds(folder.path, commit_dat(lines, "4"));
    }
    const std::string before = commit_dat(lines, "4");
    const std::string after = commit_dat(lines, "3");
    ASSERT_GT(before.size(), 1000000U) << "the file must be large enough to be cut mid-copy";

    std::mt19937 draw(20240305);
    std::uniform_real_distribution<double> instant(0.0, run_seconds);
    Tally tally;
    write_file(folder.path / "COMMIT.DAT", before);
    const auto start = Clock::now();
    while (tally.kills < KILLS &&
           std::chrono::duration<double>(Clock::now() - start).count() < TEST_SECONDS_LIMIT) {
        const pid_t child = start_player(folder.path);
        ASSERT_GT(child, 0);
        if (kill_after(child, instant(draw))) {
            ++tally.ended_by_itself;
        } else {
            ++tally.kills;
        }
        const bool copy_begun = fs::exists(folder.path / "temp.txt");
        const std::string now = read_file(folder.path / "COMMIT.DAT");
        if (now == before) {
            ++(copy_begun ? tally.old_with_copy : tally.old_without_copy);
        } else if (now == after) {
            ++tally.updated;
        } else {
            ++tally.broken;
            ADD_FAILURE() << "after kill " << tally.kills << " COMMIT.DAT holds " << now.size()
                          << " bytes, neither the old " << before.size() << " nor the new "
                          << after.size()
                          << (fs::exists(folder.path / "COMMIT.DAT") ? "" : " (it is missing)");
        }
        fs::remove(folder.path / "temp.txt");
        if (now != before) {
            write_file(folder.path / "COMMIT.DAT", before);
        }
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::cout << "kills " << tally.kills << " in " << took << " s (file " << before.size()
              << " bytes, one run " << run_seconds * 1000 << " ms): old before the copy "
              << tally.old_without_copy << ", old during the copy " << tally.old_with_copy
              << ", updated " << tally.updated << ", broken " << tally.broken
              << "; runs that ended before their kill " << tally.ended_by_itself << "\n";
    EXPECT_GE(tally.kills, KILLS);
    EXPECT_EQ(tally.broken, 0);
    // The kills must have landed inside the update, not only around it.
    EXPECT_GE(tally.old_with_copy, tally.kills / 4);
}

} // namespace
} // namespace morv_test
