// Starting a program from a Windows-style command line on POSIX: the line is
// split as a Windows program would split it and the program is looked up as
// Windows looks it up, so the launcher's lines mean the same on both. No
// shell is involved, so nothing in an argument is ever interpreted.
#include "command_line.h"
#include "nul_byte.h"
#include "platform_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace morv {
namespace {

// Windows starts no command line longer than this (32767 characters with the
// terminating zero). Refusing longer ones here too keeps the two platforms
// alike, and a hostile launch script from splitting megabytes of text into
// millions of arguments only to have the start fail.
constexpr std::size_t COMMAND_LINE_LIMIT = 32766;

bool is_executable_file(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           access(path.c_str(), X_OK) == 0;
}

// Windows looks first in the folder of the program that starts the process.
std::string launcher_folder() {
    std::string path(4096, '\0');
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    path.resize(static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/') + 1);
}

std::vector<std::string> path_folders() {
    const char* variable = std::getenv("PATH");
    // Without PATH, the system's own program folders, as Windows keeps its own.
    std::string path = variable != nullptr ? variable : "/usr/local/bin:/usr/bin:/bin";
    std::vector<std::string> folders;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = path.find(':', start);
        const std::string folder = path.substr(start, colon - start);
        // The working folder is searched anyway; an empty entry adds nothing.
        if (!folder.empty()) {
            folders.push_back(folder.back() == '/' ? folder : folder + "/");
        }
        if (colon == std::string::npos) {
            return folders;
        }
        start = colon + 1;
    }
}

std::string first_executable(const std::vector<std::string>& folders, const std::string& name) {
    for (const std::string& folder : folders) {
        if (is_executable_file(folder + name)) {
            return folder + name;
        }
    }
    return {};
}

// A Windows name ends in ".exe" where the same program installed here has no
// ending; empty when the name has no such ending.
std::string without_exe_ending(const std::string& name) {
    if (name.size() <= 4 || name[name.size() - 4] != '.') {
        return {};
    }
    std::string ending = name.substr(name.size() - 4);
    for (char& c : ending) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return ending == ".exe" ? name.substr(0, name.size() - 4) : std::string();
}

// The files to try for the program as named on the command line, in order;
// empty when there is none. A game folder copied from Windows may hold the
// emulator's Windows build under the exact name: this system cannot run it,
// so the installed program without ".exe" follows it as a second choice.
std::vector<std::string> find_program(const std::string& name) {
    if (name.find_first_of("/\\") != std::string::npos) {
        std::string path = name;
        for (char& c : path) {
            c = c == '\\' ? '/' : c;
        }
        return is_executable_file(path) ? std::vector<std::string>{path}
                                        : std::vector<std::string>{};
    }
    const std::vector<std::string> on_path = path_folders();
    std::vector<std::string> folders = {"./"};
    if (const std::string own = launcher_folder(); !own.empty()) {
        folders.insert(folders.begin(), own);
    }
    folders.insert(folders.end(), on_path.begin(), on_path.end());
    std::vector<std::string> found;
    if (std::string exact = first_executable(folders, name); !exact.empty()) {
        found.push_back(exact);
    }
    if (const std::string bare = without_exe_ending(name); !bare.empty()) {
        if (std::string installed = first_executable(on_path, bare); !installed.empty()) {
            found.push_back(installed);
        }
    }
    return found;
}

// A Windows child inherits no handles but its console, so the launcher's own
// open files (the launch script, say) must not stay open in the emulator.
std::vector<int> inherited_descriptors() {
    std::vector<int> descriptors;
    DIR* folder = opendir("/proc/self/fd");
    if (folder == nullptr) {
        folder = opendir("/dev/fd");
    }
    if (folder == nullptr) {
        return descriptors;
    }
    while (const dirent* entry = readdir(folder)) {
        const int fd = std::atoi(entry->d_name);
        if (fd > 2 && fd != dirfd(folder)) {
            descriptors.push_back(fd);
        }
    }
    closedir(folder);
    return descriptors;
}

void reset_signals() {
    for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
        std::signal(signal_number, SIG_DFL);
    }
    sigset_t empty;
    sigemptyset(&empty);
    sigprocmask(SIG_SETMASK, &empty, nullptr);
}

void report_errno(int pipe_fd) {
    const int error = errno;
    ssize_t written = 0;
    do {
        written = write(pipe_fd, &error, sizeof error);
    } while (written < 0 && errno == EINTR);
}

// The grandchild: only calls that are safe between fork and exec.
[[noreturn]] void exec_program(const std::vector<std::string>& paths, char* const* argv,
                               const std::vector<int>& descriptors, int pipe_fd) {
    for (const int fd : descriptors) {
        if (fd != pipe_fd) {
            close(fd);
        }
    }
    reset_signals();
    for (const std::string& path : paths) {
        execv(path.c_str(), argv);
        if (errno != ENOEXEC) {
            break; // only a file of another system's format passes the turn on
        }
    }
    report_errno(pipe_fd);
    _exit(127);
}

// The middle child ends at once, so the program is nobody's child here and
// no zombie stays behind when it ends.
[[noreturn]] void fork_program(const std::vector<std::string>& paths, char* const* argv,
                               const std::vector<int>& descriptors, int pipe_fd) {
    const pid_t pid = fork();
    if (pid == 0) {
        exec_program(paths, argv, descriptors, pipe_fd);
    }
    if (pid < 0) {
        report_errno(pipe_fd);
    }
    _exit(pid < 0 ? 1 : 0);
}

// The errno the grandchild sent when its exec failed; 0 when the pipe closed
// empty, which happens when the exec succeeded.
int read_exec_error(int pipe_fd) {
    char bytes[sizeof(int)] = {};
    std::size_t received = 0;
    for (;;) {
        char chunk[64];
        const ssize_t count = read(pipe_fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        for (ssize_t k = 0; k < count && received < sizeof bytes; ++k) {
            bytes[received++] = chunk[k];
        }
    }
    if (received < sizeof bytes) {
        return 0;
    }
    int error = 0;
    std::memcpy(&error, bytes, sizeof error);
    return error != 0 ? error : ECHILD;
}

int wait_for_middle_child(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : ECHILD;
}

int make_exec_pipe(int fds[2]) {
    if (pipe(fds) != 0) {
        return errno;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    return 0;
}

int fork_and_wait(const std::vector<std::string>& paths, char* const* argv) {
    const std::vector<int> descriptors = inherited_descriptors();
    int fds[2] = {-1, -1};
    if (const int error = make_exec_pipe(fds); error != 0) {
        return error;
    }
    // The launcher's own handlers must never run in a child.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    sigprocmask(SIG_SETMASK, &all, &previous);
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        fork_program(paths, argv, descriptors, fds[1]);
    }
    const int fork_error = pid < 0 ? errno : 0;
    sigprocmask(SIG_SETMASK, &previous, nullptr);
    close(fds[1]);
    int error = fork_error != 0 ? fork_error : read_exec_error(fds[0]);
    close(fds[0]);
    if (pid > 0) {
        const int wait_error = wait_for_middle_child(pid);
        error = error != 0 ? error : wait_error;
    }
    return error;
}

// A launcher started with SIGCHLD ignored would have the middle child reaped
// unseen and its wait fail, as though the start had; a handler of its own
// could reap it first. The default holds while the start is watched.
int spawn_detached(const std::vector<std::string>& paths, char* const* argv) {
    struct sigaction child_default {};
    child_default.sa_handler = SIG_DFL;
    sigemptyset(&child_default.sa_mask);
    struct sigaction previous {};
    sigaction(SIGCHLD, &child_default, &previous);
    const int error = fork_and_wait(paths, argv);
    sigaction(SIGCHLD, &previous, nullptr);
    return error;
}

} // namespace

int platform_start_process(const std::string& command_line) {
    if (command_line.size() > COMMAND_LINE_LIMIT) {
        return E2BIG;
    }
    if (holds_nul_byte(command_line)) {
        return EINVAL;
    }
    std::vector<std::string> arguments = split_command_line(command_line);
    const std::vector<std::string> paths = find_program(arguments[0]);
    if (paths.empty()) {
        return ENOENT;
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return spawn_detached(paths, argv.data());
}

} // namespace morv
