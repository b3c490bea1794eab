// Answers of 1 MB typed at every prompt of morvmake in a real terminal (a
// pseudo-terminal, as a terminal emulator gives one): the line editor takes
// each whole answer, the run ends by itself with exit status 0, and the 1 MB
// names reach the launch script intact.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr std::size_t ONE_MB = 1024u * 1024u;
constexpr double RUN_SECONDS_LIMIT = 120.0;
constexpr std::size_t KEPT_OUTPUT = 65536;

struct TerminalRun {
    std::string output_end; // the last KEPT_OUTPUT bytes the terminal showed
    std::size_t output_size = 0;
    int exit_status = -1;
    bool timed_out = false;
    double seconds = 0.0;
};

[[noreturn]] void exec_on_terminal(const char* terminal, const std::vector<std::string>& arguments,
                                   const fs::path& folder) {
    setsid(); // a new session, whose controlling terminal the open below makes
    const int slave = open(terminal, O_RDWR);
    if (slave < 0 || chdir(folder.c_str()) != 0) {
        _exit(126);
    }
    dup2(slave, STDIN_FILENO);
    dup2(slave, STDOUT_FILENO);
    dup2(slave, STDERR_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

void keep_output(TerminalRun& run, const char* bytes, std::size_t count) {
    run.output_size += count;
    run.output_end.append(bytes, count);
    if (run.output_end.size() > 2 * KEPT_OUTPUT) {
        run.output_end.erase(0, run.output_end.size() - KEPT_OUTPUT);
    }
}

// Types keys into the program's terminal once it has shown its first output
// (by then it has put the terminal in raw mode); after the last key, presses
// "x" every 100 ms for the closing key wait. Reads everything it shows.
TerminalRun run_in_terminal(const std::vector<std::string>& arguments, const std::string& keys,
                            const fs::path& folder) {
    TerminalRun run;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        return run;
    }
    const winsize size{24, 80, 0, 0};
    ioctl(master, TIOCSWINSZ, &size);
    const std::string terminal = ptsname(master);
    const auto started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(master);
        exec_on_terminal(terminal.c_str(), arguments, folder);
    }
    fcntl(master, F_SETFL, O_NONBLOCK);
    std::size_t typed = 0;
    auto last_key = Clock::now();
    int status = 0;
    bool ended = false;
    while (!ended) {
        const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
        if (elapsed > RUN_SECONDS_LIMIT) {
            run.timed_out = true;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        const bool typing = run.output_size > 0 && typed < keys.size();
        pollfd watch{master, static_cast<short>(POLLIN | (typing ? POLLOUT : 0)), 0};
        poll(&watch, 1, 50);
        char buffer[65536];
        const ssize_t count = read(master, buffer, sizeof buffer);
        if (count > 0) {
            keep_output(run, buffer, static_cast<std::size_t>(count));
        }
        if (typing && (watch.revents & POLLOUT) != 0) {
            const ssize_t written = write(master, keys.data() + typed, keys.size() - typed);
            typed += written > 0 ? static_cast<std::size_t>(written) : 0;
        } else if (typed == keys.size() &&
                   Clock::now() - last_key > std::chrono::milliseconds(100)) {
            last_key = Clock::now();
            const ssize_t ignored = write(master, "x", 1);
            static_cast<void>(ignored);
        }
        ended = count <= 0 && waitpid(child, &status, WNOHANG) == child;
    }
    close(master);
    run.exit_status = !run.timed_out && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    return run;
}

// Two players in map mode; every answer is 1 MB long, its first byte the
// meaningful one where the prompt wants a number or a letter; Enter is CR.
std::string megabyte_keys(char filler) {
    const std::string fill(ONE_MB, filler);
    std::string keys;
    for (const char* start : {"2", "M", "", "", "3", "", "5", "7", "1"}) {
        keys += start + fill + "\r";
    }
    return keys;
}

TEST(StressTyped, AnswersOfOneMegabyteTypedAtEveryPromptEndCleanly) {
    for (const char filler : {'%', '\'', '\\', '\xE9'}) {
        SCOPED_TRACE("answers typed with byte " +
                     std::to_string(static_cast<unsigned char>(filler)));
        ScratchFolder folder;
        write_file(folder.path / "DUEL01.DMO", "demo");
        const TerminalRun run = run_in_terminal({built_program("morvmake"), "DUEL01.DMO"},
                                                megabyte_keys(filler), folder.path);
        std::cout << "filler " << static_cast<unsigned>(static_cast<unsigned char>(filler)) << ": "
                  << run.seconds << " s, " << run.output_size << " bytes shown\n";
        EXPECT_FALSE(run.timed_out);
        EXPECT_EQ(run.exit_status, 0);
        EXPECT_NE(run.output_end.find("BANZAI!!"), std::string::npos);
        // Every typed byte was echoed at least once.
        EXPECT_GT(run.output_size, 9 * ONE_MB);
        const std::string script = read_file(folder.path / "DUEL01.MORV");
        EXPECT_EQ(script.substr(0, 18), "PLAYERS = 2\r\n---\r\n");
        const std::string name = " -name " + std::string(ONE_MB, filler) + "\r\n";
        EXPECT_NE(script.find(name), std::string::npos) << "a 1 MB name arrived whole";
    }
}

} // namespace
} // namespace morv_test
