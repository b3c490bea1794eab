// Runs a built program in a folder of its own and captures what it prints.
#include "program_runner.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace morv_test {
namespace {

// Runs in the child between fork and exec, where only async-signal-safe
// calls are sound when other threads of the test run programs too: argv is
// made before the fork.
[[noreturn]] void exec_child(char* const* argv, const char* folder, int in, int out, int err) {
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (chdir(folder) != 0) {
        _exit(126);
    }
    execvp(argv[0], argv);
    _exit(127);
}

// Returns the bytes read; closes open at the end of the stream.
std::string drain(int fd, bool& open) {
    char buffer[65536];
    const ssize_t count = read(fd, buffer, sizeof buffer);
    if (count > 0) {
        return std::string(buffer, static_cast<std::size_t>(count));
    }
    if (count == 0 || errno != EINTR) {
        open = false;
    }
    return {};
}

double seconds_since(std::chrono::steady_clock::time_point started) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

} // namespace

std::vector<std::string> with_emulator(const std::vector<std::string>& arguments) {
    const char* emulator = std::getenv("MORV_TEST_EMULATOR");
    const char* folder = std::getenv("MORV_TEST_PROGRAMS");
    // Only the programs under test are Windows programs; helpers such as a
    // shell stay native.
    if (emulator == nullptr || *emulator == '\0' || folder == nullptr || arguments.empty() ||
        arguments[0].rfind(folder, 0) != 0) {
        return arguments;
    }
    std::vector<std::string> full{emulator};
    full.insert(full.end(), arguments.begin(), arguments.end());
    return full;
}

ProgramRun run_program(const std::vector<std::string>& arguments, const std::string& input,
                       const std::filesystem::path& folder, double timeout_seconds,
                       const OutputWatcher& watch) {
    const std::vector<std::string> command = with_emulator(arguments);
    std::vector<char*> argv;
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const std::string folder_name = folder.string();
    // Close-on-exec, so that programs started by other threads at the same
    // time inherit none of these ends and cannot hold the output open.
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        return {};
    }
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        exec_child(argv.data(), folder_name.c_str(), in[0], out[1], err[1]);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    signal(SIGPIPE, SIG_IGN);
    fcntl(in[1], F_SETFL, O_NONBLOCK);

    ProgramRun run;
    std::size_t fed = 0;
    bool out_open = true, err_open = true;
    if (input.empty()) {
        close(in[1]);
        in[1] = -1;
    }
    while (out_open || err_open) {
        if (seconds_since(started) > timeout_seconds) {
            run.timed_out = true;
            kill(child, SIGKILL);
            break;
        }
        pollfd fds[3] = {{out_open ? out[0] : -1, POLLIN, 0},
                         {err_open ? err[0] : -1, POLLIN, 0},
                         {in[1], POLLOUT, 0}};
        if (poll(fds, 3, 100) <= 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            const std::string bytes = drain(out[0], out_open);
            run.output += bytes;
            if (watch && !bytes.empty()) {
                watch(bytes, seconds_since(started));
            }
        }
        if (fds[1].revents != 0) {
            run.errors += drain(err[0], err_open);
        }
        if (in[1] >= 0 && fds[2].revents != 0) {
            const ssize_t count = write(in[1], input.data() + fed, input.size() - fed);
            if (count > 0) {
                fed += static_cast<std::size_t>(count);
            }
            if (count < 0 && errno != EAGAIN && errno != EINTR) {
                fed = input.size(); // the program stopped reading
            }
            if (fed == input.size()) {
                close(in[1]);
                in[1] = -1;
            }
        }
    }
    if (in[1] >= 0) {
        close(in[1]);
    }
    close(out[0]);
    close(err[0]);
    int status = 0;
    waitpid(child, &status, 0);
    run.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = seconds_since(started);
    return run;
}

std::string built_program(const std::string& name) {
    const char* folder = std::getenv("MORV_TEST_PROGRAMS");
    const char* suffix = std::getenv("MORV_TEST_PROGRAM_SUFFIX");
    return std::string(folder != nullptr ? folder : ".") + "/" + name +
           (suffix != nullptr ? suffix : "");
}

void add_stand_in_emulator(const std::filesystem::path& folder) {
    const char* chosen = std::getenv("MORV_TEST_STAND_IN");
    const std::filesystem::path copy = folder / "dosbox.exe";
    std::filesystem::copy_file(chosen != nullptr ? chosen : built_program("dosbox"), copy,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
}

PathGuard::PathGuard(const std::string& path) {
    const char* current = std::getenv("PATH");
    was_set = current != nullptr;
    previous = was_set ? current : "";
    setenv("PATH", path.c_str(), 1);
}

PathGuard::~PathGuard() {
    if (was_set) {
        setenv("PATH", previous.c_str(), 1);
    } else {
        unsetenv("PATH");
    }
}

} // namespace morv_test
