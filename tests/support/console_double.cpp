// A scripted console and clock in place of the real ones.
#include "console_double.h"

#include "platform_console.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>

namespace morv {
namespace {

// The clock counts whole milliseconds so that sums of sleeps stay exact.
struct Arrival {
    std::string bytes;
    long long at_ms;
    ConsoleChange change = CONSOLE_UNCHANGED; // with no bytes
    int columns = 0;
};

struct DoubleConsole {
    bool terminal = false;
    int columns = 80;
    bool utf8 = false;
    bool moves_cursor = true;
    bool output_to_file = false;
    ConsoleChange change = CONSOLE_UNCHANGED;
    std::deque<Arrival> arrivals;
    std::string output;
    std::string echo; // drawn on the terminal beside an output to a file
    long long now_ms = 0;
    int attribute = -1;
    int key_polls = 0;
};

DoubleConsole fake;

} // namespace

void double_reset(bool terminal, int columns) {
    fake = DoubleConsole{};
    fake.terminal = terminal;
    fake.columns = columns;
}

void double_set_utf8(bool utf8) {
    fake.utf8 = utf8;
}

void double_set_moves_cursor(bool moves_cursor) {
    fake.moves_cursor = moves_cursor;
}

void double_set_output_to_file(bool to_file) {
    fake.output_to_file = to_file;
}

void double_change(ConsoleChange change, int columns, double at_seconds) {
    fake.arrivals.push_back({"", std::llround(at_seconds * 1000.0), change, columns});
}

void double_type(const std::string& bytes, double at_seconds) {
    fake.arrivals.push_back({bytes, std::llround(at_seconds * 1000.0)});
}

std::string double_output() {
    return fake.output;
}
std::string double_echo() {
    return fake.echo;
}
double double_clock_seconds() {
    return static_cast<double>(fake.now_ms) / 1000.0;
}
int double_attribute() {
    return fake.attribute;
}
int double_key_polls() {
    return fake.key_polls;
}

void platform_start(int, char**) {}
void platform_exit(int status) {
    std::exit(status);
}
std::string platform_argument(int) {
    return {};
}
bool platform_input_is_terminal() {
    return fake.terminal;
}
bool platform_output_is_terminal() {
    return fake.terminal && !fake.output_to_file;
}
void platform_write_console(const std::string& bytes) {
    fake.output += bytes;
}
bool platform_echo_is_terminal() {
    return fake.terminal;
}
void platform_write_echo(const std::string& bytes) {
    (fake.output_to_file ? fake.echo : fake.output) += bytes;
}
int platform_console_columns() {
    return fake.columns;
}
int platform_console_rows() {
    return 0;
}
bool platform_console_moves_cursor() {
    return fake.moves_cursor;
}
ConsoleChange platform_console_change() {
    const ConsoleChange change = fake.change;
    fake.change = CONSOLE_UNCHANGED;
    return change;
}
bool platform_console_is_utf8() {
    return fake.utf8;
}
void platform_set_text_attribute(int attribute) {
    fake.attribute = attribute;
}
void platform_lock_console_window() {}
double platform_clock_seconds() {
    return double_clock_seconds();
}
void platform_sleep_ms(int ms) {
    fake.now_ms += ms;
}

int platform_read_console(char* buffer, int size, int timeout_ms) {
    if (timeout_ms == 0) {
        ++fake.key_polls;
    }
    if (fake.arrivals.empty()) {
        // Nothing more will ever come: a blocking read would wait for ever.
        if (timeout_ms < 0) {
            return -1;
        }
        fake.now_ms += timeout_ms;
        return 0;
    }
    Arrival& next = fake.arrivals.front();
    if (timeout_ms >= 0 && next.at_ms > fake.now_ms + timeout_ms) {
        fake.now_ms += timeout_ms;
        return 0;
    }
    fake.now_ms = std::max(fake.now_ms, next.at_ms);
    if (next.change != CONSOLE_UNCHANGED) {
        fake.change = std::max(fake.change, next.change);
        fake.columns = next.columns;
        fake.arrivals.pop_front();
        return 0;
    }
    const std::size_t count = std::min(next.bytes.size(), static_cast<std::size_t>(size));
    next.bytes.copy(buffer, count);
    next.bytes.erase(0, count);
    if (next.bytes.empty()) {
        fake.arrivals.pop_front();
    }
    return static_cast<int>(count);
}

} // namespace morv
