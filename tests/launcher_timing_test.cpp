// The spacing of launches, seen as a person watching the console sees it:
// every printed line is timed on a monotonic clock as it arrives.
#include "program_runner.h"
#include "sanitized_build.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

struct TimedLine {
    std::string text; // without its CR LF
    double seconds;   // when it arrived, from the start of the run
};

struct LiveRun {
    std::vector<TimedLine> lines;
    std::string rest; // bytes after the last CR LF
    int exit_status = -1;
    bool timed_out = false;
};

// Runs morvplay in folder with no input and hands every line to seen as it
// arrives; killed after timeout_seconds.
LiveRun run_live(const fs::path& folder, const std::vector<std::string>& arguments,
                 const std::function<void(const std::string&)>& seen, double timeout_seconds) {
    LiveRun live;
    const ProgramRun run = run_program(
        arguments, "", folder, timeout_seconds, [&](const std::string& bytes, double seconds) {
            live.rest += bytes;
            for (std::size_t end = live.rest.find("\r\n"); end != std::string::npos;
                 end = live.rest.find("\r\n")) {
                live.lines.push_back({live.rest.substr(0, end), seconds});
                live.rest.erase(0, end + 2);
                seen(live.lines.back().text);
            }
        });
    live.exit_status = run.exit_status;
    live.timed_out = run.timed_out;
    return live;
}

struct TimedFolder : ::testing::Test {
    ScratchFolder folder;
    ScratchFolder empty_path; // no installed emulator can be found instead
    PathGuard path{empty_path.path.string()};
    void SetUp() override { write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n"); }
    void add_stand_in() const { add_stand_in_emulator(folder.path); }
};

// The start moments the stand-in wrote, in seconds.
std::vector<double> start_moments(const std::string& log) {
    std::vector<double> moments;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);) {
        moments.push_back(std::stod(line));
    }
    return moments;
}

constexpr double PAUSE = 3.0;
// Each gap also holds a start: under AddressSanitizer the fork of the
// launcher and the stand-in's own start-up take up to some 25 ms of it.
constexpr double TOLERANCE = morv_test::SANITIZED_BUILD ? 0.050 : 0.020;

TEST_F(TimedFolder, InstancesStartThreeSecondsApartAndTheClosingLineFollowsTheLastPause) {
    add_stand_in();
    write_file(folder.path / "THREE.MORV",
               "PLAYERS = 3\r\n---\r\nINSTANCE1 = ipxsetup A\r\nINSTANCE2 = ipxsetup B\r\n"
               "INSTANCE3 = ipxsetup C\r\n");
    const LiveRun run = run_live(
        folder.path, {built_program("morvplay"), "THREE.MORV"}, [](const std::string&) {}, 30.0);
    ASSERT_FALSE(run.timed_out);
    ASSERT_EQ(run.lines.size(), 6u);
    EXPECT_EQ(run.lines[5].text, "All instances launched.");
    for (std::size_t k = 2; k < 5; ++k) {
        EXPECT_EQ(run.lines[k].text.rfind("Launching: ", 0), 0u) << run.lines[k].text;
        const double gap = run.lines[k + 1].seconds - run.lines[k].seconds;
        EXPECT_NEAR(gap, PAUSE, TOLERANCE) << "console lines " << k << " and " << k + 1;
        std::cout << "console gap " << k - 1 << ": " << gap * 1000.0 << " ms\n";
    }
    const std::vector<double> starts = start_moments(read_file(folder.path / "starts.log"));
    ASSERT_EQ(starts.size(), 3u);
    for (std::size_t k = 1; k < 3; ++k) {
        EXPECT_NEAR(starts[k] - starts[k - 1], PAUSE, TOLERANCE) << "starts " << k << ", " << k + 1;
        std::cout << "start gap " << k << ": " << (starts[k] - starts[k - 1]) * 1000.0 << " ms\n";
    }
}

TEST_F(TimedFolder, AFailedStartIsReportedAndTheNextInstanceIsStillStarted) {
    write_file(folder.path / "TWO.MORV",
               "PLAYERS = 2\r\nINSTANCE1 = C: & ipxsetup B\r\nINSTANCE2 = ipxsetup C\r\n");
    bool stand_in_added = false;
    // The emulator appears only after the first start has failed.
    const LiveRun run = run_live(
        folder.path, {built_program("morvplay"), "TWO.MORV"},
        [&](const std::string& line) {
            if (line.rfind("Failed to launch: ", 0) == 0 && !stand_in_added) {
                add_stand_in();
                stand_in_added = true;
            }
        },
        30.0);
    ASSERT_FALSE(run.timed_out);
    std::string output;
    for (const TimedLine& line : run.lines) {
        output += line.text + "\r\n";
    }
    EXPECT_EQ(output + run.rest,
              "PLAYERS =  2\r\n"
              "COMMIT.DAT updated.\r\n"
              "Launching: dosbox.exe -conf dosbox.conf -c \"C:\" -c \"ipxsetup B\"\r\n"
              "Failed to launch: dosbox.exe -conf dosbox.conf -c \"C:\" -c \"ipxsetup B\"\r\n"
              "Launching: dosbox.exe -conf dosbox.conf -c \"ipxsetup C\"\r\n"
              "All instances launched.\r\n");
    EXPECT_EQ(run.exit_status, 0);
    ASSERT_EQ(run.lines.size(), 6u);
    EXPECT_NEAR(run.lines[4].seconds - run.lines[2].seconds, PAUSE, TOLERANCE);
    EXPECT_EQ(read_file(folder.path / "launches.log"),
              "-conf\ndosbox.conf\n-c\nipxsetup C\n----\n");
    EXPECT_EQ(start_moments(read_file(folder.path / "starts.log")).size(), 1u);
}

} // namespace
} // namespace morv_test
