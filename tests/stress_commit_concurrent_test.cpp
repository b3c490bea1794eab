// One COMMIT.DAT update at a time: 40 morvplay runs started at the same
// instant in one folder, each with its own player count, over a COMMIT.DAT of
// a few MB. Afterwards the folder must hold COMMIT.DAT exactly as one of the
// runs wrote it, whole, and nothing else beside the launch scripts.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <latch>
#include <thread>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int RUNS_AT_ONCE = 40;
constexpr int ROUNDS = 25;
constexpr int COUNTS = 8; // launch scripts P1.MORV to P8.MORV
constexpr int SETTING_LINES = 50000;

// NUMPLAYERS lines all through the file, so that two runs' copies mixed
// into one file show as a file with two counts.
std::string commit_dat(int count) {
    const std::string numplayers = "NUMPLAYERS = " + std::to_string(count) + "\r\n";
    std::string bytes = "[network]\r\n" + numplayers;
    for (int k = 0; k < SETTING_LINES; ++k) {
        bytes += "SETTING" + std::to_string(k) + " = some value of the game ; and a comment\r\n";
        if (k % 50 == 49) {
            bytes += numplayers;
        }
    }
    return bytes;
}

std::string script_name(int count) {
    return "P" + std::to_string(count) + ".MORV";
}

// Starts every run at once, each from a thread of its own released by one
// latch, and waits for them all; the number that did not end with 0.
int run_all_at_once(const fs::path& folder) {
    const std::string program = built_program("morvplay");
    std::latch gate(RUNS_AT_ONCE);
    std::atomic<int> failed{0};
    std::vector<std::thread> runs;
    for (int k = 0; k < RUNS_AT_ONCE; ++k) {
        runs.emplace_back([&, k] {
            gate.arrive_and_wait();
            const ProgramRun run =
                run_program({program, script_name(k % COUNTS + 1)}, "", folder, 120.0);
            failed += run.exit_status == 0 ? 0 : 1;
        });
    }
    for (std::thread& run : runs) {
        run.join();
    }
    return failed;
}

// The player counts the file's NUMPLAYERS lines hold, each once: "3 7".
std::string counts_in(const std::string& bytes) {
    const std::string key = "NUMPLAYERS = ";
    std::string counts;
    for (std::size_t at = bytes.find(key); at != std::string::npos; at = bytes.find(key, at + 1)) {
        const std::string count =
            bytes.substr(at + key.size(), bytes.find('\r', at) - at - key.size());
        if ((" " + counts + " ").find(" " + count + " ") == std::string::npos) {
            counts += (counts.empty() ? "" : " ") + count;
        }
    }
    return counts;
}

TEST(StressCommitConcurrent, RunsStartedTogetherLeaveOneCompleteResultAndNoOtherFile) {
    ScratchFolder folder;
    std::vector<std::string> results;
    std::vector<std::string> expected_names = {"COMMIT.DAT"};
    for (int count = 1; count <= COUNTS; ++count) {
        write_file(folder.path / script_name(count), "PLAYERS = " + std::to_string(count) + "\r\n");
        results.push_back(commit_dat(count));
        expected_names.push_back(script_name(count));
    }
    std::sort(expected_names.begin(), expected_names.end());
    const std::string before = commit_dat(0);

    int broken = 0;
    int with_other_files = 0;
    const auto start = Clock::now();
    for (int round = 1; round <= ROUNDS; ++round) {
        write_file(folder.path / "COMMIT.DAT", before);
        EXPECT_EQ(run_all_at_once(folder.path), 0) << "round " << round << ": a run failed";
        const std::string now = read_file(folder.path / "COMMIT.DAT");
        const auto result = std::find(results.begin(), results.end(), now);
        if (result == results.end()) {
            ++broken;
            ADD_FAILURE() << "round " << round << ": COMMIT.DAT holds " << now.size()
                          << " bytes, not one complete result of " << results[0].size()
                          << " bytes; its counts: " << counts_in(now)
                          << (fs::exists(folder.path / "COMMIT.DAT") ? "" : " (it is missing)");
        }
        const std::vector<std::string> names = names_in(folder.path);
        if (names != expected_names) {
            ++with_other_files;
            ADD_FAILURE() << "round " << round << ": the folder holds " << names.size()
                          << " entries, temp.txt "
                          << (fs::exists(folder.path / "temp.txt") ? "among them" : "not");
            fs::remove(folder.path / "temp.txt");
        }
    }
    const double took = std::chrono::duration<double>(Clock::now() - start).count();
    std::cout << ROUNDS << " rounds of " << RUNS_AT_ONCE << " runs over " << before.size()
              << " bytes in " << took << " s: broken " << broken << ", other files left "
              << with_other_files << "\n";
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(with_other_files, 0);
}

} // namespace
} // namespace morv_test
