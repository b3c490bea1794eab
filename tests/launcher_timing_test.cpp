// The spacing of launches, seen as a person watching the console sees it:
// every printed line is timed on a monotonic clock as it arrives.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

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

[[noreturn]] void exec_in(const fs::path& folder, const std::vector<std::string>& arguments,
                          int out) {
    const int none = open("/dev/null", O_RDONLY);
    dup2(none, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    if (chdir(folder.c_str()) != 0) {
        _exit(126);
    }
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

void take_lines(LiveRun& run, double seconds, const std::function<void(const std::string&)>& seen) {
    for (std::size_t end = run.rest.find("\r\n"); end != std::string::npos;
         end = run.rest.find("\r\n")) {
        run.lines.push_back({run.rest.substr(0, end), seconds});
        run.rest.erase(0, end + 2);
        seen(run.lines.back().text);
    }
}

// Runs morvplay in folder with no input and hands every line to seen as it
// arrives; killed after timeout_seconds.
LiveRun run_live(const fs::path& folder, const std::vector<std::string>& arguments,
                 const std::function<void(const std::string&)>& seen, double timeout_seconds) {
    LiveRun run;
    int out[2];
    if (pipe(out) != 0) {
        return run;
    }
    const auto started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        exec_in(folder, with_emulator(arguments), out[1]);
    }
    close(out[1]);
    for (;;) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
        if (elapsed > timeout_seconds) {
            run.timed_out = true;
            kill(child, SIGKILL);
            break;
        }
        pollfd ready{out[0], POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t count = read(out[0], buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        run.rest.append(buffer, static_cast<std::size_t>(count));
        take_lines(run, std::chrono::duration<double>(Clock::now() - started).count(), seen);
    }
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// The stand-in emulator appends the moment it started and its arguments.
const char* const STAND_IN = "#!/bin/sh\n"
                             "exec >/dev/null 2>&1\n"
                             "{ /bin/date +%s.%N; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; "
                             "printf '%s\\n' '----'; } >> launches.log\n";

struct TimedFolder : ::testing::Test {
    ScratchFolder folder;
    ScratchFolder empty_path; // no installed emulator can be found instead
    std::string previous_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    void SetUp() override { setenv("PATH", empty_path.path.c_str(), 1); }
    void TearDown() override { setenv("PATH", previous_path.c_str(), 1); }
    void add_stand_in() const {
        write_file(folder.path / "dosbox.exe", STAND_IN);
        fs::permissions(folder.path / "dosbox.exe", fs::perms::owner_all);
    }
};

// The start moments the stand-in wrote, in seconds.
std::vector<double> start_moments(const std::string& log) {
    std::vector<double> moments;
    std::istringstream lines(log);
    std::string line;
    bool record_start = true;
    while (std::getline(lines, line)) {
        if (record_start) {
            moments.push_back(std::stod(line));
        }
        record_start = line == "----";
    }
    return moments;
}

constexpr double PAUSE = 3.0;
constexpr double TOLERANCE = 0.020;

TEST_F(TimedFolder, InstancesStartThreeSecondsApartAndTheClosingLineFollowsTheLastPause) {
    add_stand_in();
    write_file(folder.path / "THREE.MORV",
               "PLAYERS = 3\r\n---\r\nINSTANCE1 = A\r\nINSTANCE2 = B\r\nINSTANCE3 = C\r\n");
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
    const std::vector<double> starts = start_moments(read_file(folder.path / "launches.log"));
    ASSERT_EQ(starts.size(), 3u);
    for (std::size_t k = 1; k < 3; ++k) {
        EXPECT_NEAR(starts[k] - starts[k - 1], PAUSE, TOLERANCE) << "starts " << k << ", " << k + 1;
        std::cout << "start gap " << k << ": " << (starts[k] - starts[k - 1]) * 1000.0 << " ms\n";
    }
}

TEST_F(TimedFolder, AFailedStartIsReportedAndTheNextInstanceIsStillStarted) {
    write_file(folder.path / "TWO.MORV", "PLAYERS = 2\r\nINSTANCE1 = A & B\r\nINSTANCE2 = C\r\n");
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
              "Launching: dosbox.exe -conf dosbox.conf -c \"A\" -c \"B\"\r\n"
              "Failed to launch: dosbox.exe -conf dosbox.conf -c \"A\" -c \"B\"\r\n"
              "Launching: dosbox.exe -conf dosbox.conf -c \"C\"\r\n"
              "All instances launched.\r\n");
    EXPECT_EQ(run.exit_status, 0);
    ASSERT_EQ(run.lines.size(), 6u);
    EXPECT_NEAR(run.lines[4].seconds - run.lines[2].seconds, PAUSE, TOLERANCE);
    const std::string log = read_file(folder.path / "launches.log");
    EXPECT_EQ(log.substr(log.find('\n') + 1), "-conf\ndosbox.conf\n-c\nC\n----\n");
}

} // namespace
} // namespace morv_test
