// The console, the clock and the process's start and end on POSIX.
//
// On a terminal the program edits the typed line itself, so the terminal is
// put in raw mode for the whole run: no line buffering, no echo, but Ctrl+C
// still raises SIGINT. The original settings come back on every way out: a
// normal end, Ctrl+C, SIGTERM, SIGHUP and SIGQUIT (restore, then die by the
// same signal), and around a Ctrl+Z suspension.
//
// A resize (SIGWINCH) and the continuation after a suspension (SIGCONT) wake
// a waiting read through a pipe of the process's own, so the typed line is
// drawn again at once. TERM and NO_COLOR say which sequences the terminal
// may get. A signal that the parent left ignored (nohup, a background job of
// a shell without job control) stays ignored.
//
// With standard output a file or a pipe, the typed line is drawn on the
// process's terminal (/dev/tty), so that the user sees what is typed.
#include "platform_console.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace morv {
namespace {

struct PosixConsole {
    int argc = 0;
    char** argv = nullptr;
    bool input_terminal = false;
    bool output_terminal = false;
    bool moves_cursor = false;
    bool colour = false;
    termios saved{};
    volatile std::sig_atomic_t raw = 0;
    volatile std::sig_atomic_t resized = 0;
    volatile std::sig_atomic_t continued = 0;
    int wake[2] = {-1, -1}; // written by the signal handlers, polled by reads
    int echo = -1;          // the terminal the typed line is drawn on
};

PosixConsole state;

bool set_terminal(const termios& settings) {
    int result = 0;
    do {
        result = tcsetattr(STDIN_FILENO, TCSADRAIN, &settings);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

void enter_raw_mode() {
    termios raw = state.saved;
    raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN); // ISIG stays: Ctrl+C ends
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (set_terminal(raw)) {
        state.raw = 1;
    }
}

// A terminal that refused its settings is still raw: a later way out tries
// again.
void restore_terminal() {
    if (state.raw && set_terminal(state.saved)) {
        state.raw = 0;
    }
}

void install_handler(int signal_number, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(signal_number, &action, nullptr);
}

bool left_ignored(int signal_number) {
    struct sigaction current {};
    return sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN;
}

// Restores the terminal, then dies by the signal once the handler returns.
void on_fatal_signal(int signal_number) {
    const int saved_errno = errno;
    restore_terminal();
    install_handler(signal_number, SIG_DFL);
    raise(signal_number);
    errno = saved_errno;
}

void wake_reader() {
    const int saved_errno = errno;
    if (state.wake[1] >= 0) {
        const char byte = 1;
        const ssize_t ignored = write(state.wake[1], &byte, 1);
        static_cast<void>(ignored); // a full pipe wakes the reader as well
    }
    errno = saved_errno;
}

void on_continue(int) {
    const int saved_errno = errno;
    enter_raw_mode();
    state.continued = 1;
    wake_reader();
    errno = saved_errno;
}

void on_resize(int) {
    const int saved_errno = errno;
    state.resized = 1;
    wake_reader();
    errno = saved_errno;
}

// Non-blocking, and closed in the programs the launcher starts.
void open_wake_pipe() {
    if (pipe(state.wake) != 0) {
        state.wake[0] = state.wake[1] = -1;
        return;
    }
    for (int end : state.wake) {
        fcntl(end, F_SETFL, fcntl(end, F_GETFL) | O_NONBLOCK);
        fcntl(end, F_SETFD, FD_CLOEXEC);
    }
}

void drain_wake_pipe() {
    char bytes[64];
    while (state.wake[0] >= 0 && read(state.wake[0], bytes, sizeof bytes) > 0) {
    }
}

// TERM names the terminal's kind; "dumb" or none at all takes no sequences.
bool terminal_moves_cursor() {
    const char* term = std::getenv("TERM");
    return term != nullptr && *term != '\0' && std::strcmp(term, "dumb") != 0;
}

bool colour_wanted() {
    const char* no_colour = std::getenv("NO_COLOR");
    return no_colour == nullptr || *no_colour == '\0';
}

// Ctrl+Z: hand the shell a sane terminal, stop, and go raw again on SIGCONT.
void on_stop(int) {
    const int saved_errno = errno;
    restore_terminal();
    kill(getpid(), SIGSTOP);
    errno = saved_errno;
}

void write_all(int descriptor, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return; // nowhere to write to; the dialogue goes on regardless
        }
        done += static_cast<std::size_t>(written);
    }
}

} // namespace

void platform_start(int argc, char** argv) {
    state.argc = argc;
    state.argv = argv;
    state.input_terminal = isatty(STDIN_FILENO) == 1;
    state.output_terminal = isatty(STDOUT_FILENO) == 1;
    state.moves_cursor = terminal_moves_cursor();
    state.colour = state.output_terminal && state.moves_cursor && colour_wanted();
    // A reader that went away must not kill the run: the dialogue goes on.
    install_handler(SIGPIPE, SIG_IGN);
    // A file size limit (ulimit -f) fails a write as a full disk does.
    install_handler(SIGXFSZ, SIG_IGN);
    if (state.input_terminal && tcgetattr(STDIN_FILENO, &state.saved) == 0) {
        for (int signal_number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            if (!left_ignored(signal_number)) {
                install_handler(signal_number, on_fatal_signal);
            }
        }
        install_handler(SIGTSTP, on_stop);
        open_wake_pipe();
        install_handler(SIGCONT, on_continue);
        install_handler(SIGWINCH, on_resize);
        std::atexit(restore_terminal);
        enter_raw_mode();
        if (!state.output_terminal) {
            state.echo = open("/dev/tty", O_WRONLY | O_CLOEXEC | O_NOCTTY);
        }
    }
}

void platform_exit(int status) {
    restore_terminal();
    std::exit(status);
}

std::string platform_argument(int n) {
    if (n < 1 || n >= state.argc || state.argv[n] == nullptr) {
        return {};
    }
    return state.argv[n];
}

bool platform_input_is_terminal() {
    return state.input_terminal;
}

bool platform_output_is_terminal() {
    return state.output_terminal;
}

void platform_write_console(const std::string& bytes) {
    write_all(STDOUT_FILENO, bytes);
}

bool platform_echo_is_terminal() {
    return state.output_terminal || state.echo >= 0;
}

void platform_write_echo(const std::string& bytes) {
    if (state.output_terminal) {
        write_all(STDOUT_FILENO, bytes);
    } else if (state.echo >= 0) {
        write_all(state.echo, bytes);
    }
}

int platform_read_console(char* buffer, int size, int timeout_ms) {
    for (;;) {
        pollfd inputs[2] = {{STDIN_FILENO, POLLIN, 0}, {state.wake[0], POLLIN, 0}};
        const int ready = poll(inputs, state.wake[0] >= 0 ? 2 : 1, timeout_ms);
        if (ready < 0 && errno == EINTR) {
            continue; // a handler that asks for a redraw has woken the pipe
        }
        if (ready == 0) {
            return 0;
        }
        if (ready > 0 && inputs[0].revents == 0) {
            drain_wake_pipe();
            return 0;
        }
        const ssize_t count = read(STDIN_FILENO, buffer, static_cast<std::size_t>(size));
        if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        return count > 0 ? static_cast<int>(count) : -1;
    }
}

int platform_console_columns() {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    if (ioctl(STDIN_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    return 80;
}

int platform_console_rows() {
    winsize size{};
    for (int descriptor : {STDOUT_FILENO, STDIN_FILENO}) {
        if (ioctl(descriptor, TIOCGWINSZ, &size) == 0 && size.ws_row > 0) {
            return size.ws_row;
        }
    }
    return 0;
}

bool platform_console_moves_cursor() {
    return state.moves_cursor;
}

ConsoleChange platform_console_change() {
    // Held back meanwhile, so that no signal's mark is cleared unseen.
    sigset_t held;
    sigset_t before;
    sigemptyset(&held);
    sigaddset(&held, SIGWINCH);
    sigaddset(&held, SIGCONT);
    sigprocmask(SIG_BLOCK, &held, &before);
    drain_wake_pipe();
    const ConsoleChange change = state.continued ? CONSOLE_CONTINUED
                                 : state.resized ? CONSOLE_RESIZED
                                                 : CONSOLE_UNCHANGED;
    state.continued = 0;
    state.resized = 0;
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return change;
}

bool platform_console_is_utf8() {
    // The locale's own variables decide, in the order the C library reads them.
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            std::string name(value);
            for (char& c : name) {
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
            return name.find("utf-8") != std::string::npos ||
                   name.find("utf8") != std::string::npos;
        }
    }
    return false;
}

namespace {

// Console attribute bits are blue 1, green 2, red 4, bright 8; ANSI colour
// numbers count red 1, green 2, blue 4.
int ansi_colour(int bits, int dark_base, int bright_base) {
    const int hue = ((bits & 4) ? 1 : 0) + ((bits & 2) ? 2 : 0) + ((bits & 1) ? 4 : 0);
    return ((bits & 8) ? bright_base : dark_base) + hue;
}

} // namespace

void platform_set_text_attribute(int attribute) {
    if (!state.colour) {
        return;
    }
    char sequence[32];
    std::snprintf(sequence, sizeof sequence, "\x1b[0;%d;%dm", ansi_colour(attribute & 15, 30, 90),
                  ansi_colour((attribute >> 4) & 15, 40, 100));
    platform_write_console(sequence);
}

void platform_lock_console_window() {
    // A terminal emulator's window belongs to another program: nothing to lock.
}

double platform_clock_seconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void platform_sleep_ms(int ms) {
    if (ms <= 0) {
        return;
    }
    timespec wanted{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&wanted, &wanted) != 0 && errno == EINTR) {
    }
}

const char* platform_help_switch() {
    return "";
}

const char* platform_text_line_end() {
    return "\n";
}

} // namespace morv
