// The console, the clock and the process's start and end on Windows.
//
// Keys come from ReadConsoleInputA as key events and are turned into the
// bytes an xterm sends, so the same decoder and line editor serve both
// platforms. The line editor's frames use a few xterm cursor sequences; a
// Windows console does not understand them everywhere, so they are carried
// out here with the screen buffer's cursor position. The console's own modes
// come back on every way out: a normal end and Ctrl+C or Ctrl+Break, whose
// default handling (ending the process) stays on.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace morv {
namespace {

// Older headers lack this mode bit; with it set a console delivers arrow keys
// as character sequences instead of key events.
constexpr DWORD VIRTUAL_TERMINAL_INPUT = 0x0200;

// Old consoles refuse very long writes; this size is safe everywhere.
constexpr std::size_t CONSOLE_WRITE_CHUNK = 16384;
constexpr DWORD EVENT_BATCH = 64;
constexpr int POLL_STEP_MS = 10;

struct Win32Console {
    int argc = 0;
    char** argv = nullptr;
    HANDLE input = INVALID_HANDLE_VALUE;
    HANDLE output = INVALID_HANDLE_VALUE;
    bool input_console = false;
    bool output_console = false;
    DWORD saved_input_mode = 0;
    DWORD saved_output_mode = 0;
    volatile LONG modes_changed = 0;
    std::string typed; // key bytes translated but not yet delivered
    // An xterm keeps the cursor in the last column after a byte lands there,
    // until the next byte; a Windows console moves it to the next row at
    // once. Set while the console stands one step ahead of an xterm.
    bool wrap_pending = false;
};

Win32Console state;

bool console_mode(HANDLE handle, DWORD& mode) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

// Runs on the normal end and, from a console thread, on Ctrl+C; whichever
// comes first restores.
void restore_console() {
    if (InterlockedExchange(&state.modes_changed, 0) == 0) {
        return;
    }
    if (state.input_console) {
        SetConsoleMode(state.input, state.saved_input_mode);
    }
    if (state.output_console) {
        SetConsoleMode(state.output, state.saved_output_mode);
    }
}

// Restores the modes and lets the default handling end the process.
BOOL WINAPI on_console_event(DWORD) {
    restore_console();
    return FALSE;
}

// Key events only, Ctrl+C handled by the system, nothing echoed.
DWORD raw_input_mode(DWORD mode) {
    const DWORD dropped = ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_WINDOW_INPUT |
                          ENABLE_MOUSE_INPUT | VIRTUAL_TERMINAL_INPUT;
    return (mode | ENABLE_PROCESSED_INPUT) & ~dropped;
}

void prepare_console() {
    state.input = GetStdHandle(STD_INPUT_HANDLE);
    state.output = GetStdHandle(STD_OUTPUT_HANDLE);
    state.input_console = console_mode(state.input, state.saved_input_mode);
    state.output_console = console_mode(state.output, state.saved_output_mode);
    if (!state.input_console && !state.output_console) {
        return;
    }
    state.modes_changed = 1;
    SetConsoleCtrlHandler(on_console_event, TRUE);
    std::atexit(restore_console);
    if (state.input_console) {
        SetConsoleMode(state.input, raw_input_mode(state.saved_input_mode));
        // A console may start collecting keys only once they are first asked
        // for (wine's, on a terminal); keys typed ahead must not be lost.
        INPUT_RECORD record;
        DWORD count = 0;
        PeekConsoleInputA(state.input, &record, 1, &count);
    }
    if (state.output_console) {
        SetConsoleMode(state.output, state.saved_output_mode | ENABLE_PROCESSED_OUTPUT |
                                         ENABLE_WRAP_AT_EOL_OUTPUT);
    }
}

// ---- Output -----------------------------------------------------------------------

void write_to_stream(const char* bytes, std::size_t size) {
    while (size > 0) {
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(state.output, bytes, wanted, &written, nullptr) || written == 0) {
            return; // nowhere to write to; the dialogue goes on regardless
        }
        bytes += written;
        size -= written;
    }
}

void write_console_bytes(const char* bytes, std::size_t size) {
    while (size > 0) {
        const auto wanted = static_cast<DWORD>(std::min(size, CONSOLE_WRITE_CHUNK));
        DWORD written = 0;
        if (!WriteConsoleA(state.output, bytes, wanted, &written, nullptr) || written == 0) {
            return;
        }
        bytes += written;
        size -= written;
    }
}

bool screen_info(CONSOLE_SCREEN_BUFFER_INFO& info) {
    return GetConsoleScreenBufferInfo(state.output, &info) != 0;
}

void move_cursor(int column, int row) {
    COORD place;
    place.X = static_cast<SHORT>(column);
    place.Y = static_cast<SHORT>(row);
    SetConsoleCursorPosition(state.output, place);
}

void write_text_run(const std::string& bytes, std::size_t from, std::size_t count) {
    write_console_bytes(bytes.data() + from, count);
    CONSOLE_SCREEN_BUFFER_INFO info;
    // Text without line ends that leaves the cursor in column 0 filled its
    // row to the last column.
    state.wrap_pending = screen_info(info) && info.dwCursorPosition.X == 0;
}

// Where an xterm's cursor stands: one step back while a wrap is pending.
COORD xterm_cursor(const CONSOLE_SCREEN_BUFFER_INFO& info) {
    COORD place = info.dwCursorPosition;
    if (state.wrap_pending) {
        place.X = static_cast<SHORT>(info.dwSize.X - 1);
        place.Y = static_cast<SHORT>(std::max(0, place.Y - 1));
        state.wrap_pending = false;
    }
    return place;
}

void carriage_return() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (state.wrap_pending && screen_info(info)) {
        move_cursor(0, xterm_cursor(info).Y);
        return;
    }
    write_console_bytes("\r", 1);
}

void line_feed() {
    if (state.wrap_pending) {
        // The console has moved to the next row already, as an xterm does
        // on this line feed.
        state.wrap_pending = false;
        return;
    }
    write_console_bytes("\n", 1);
}

void blank_cells(COORD from, int count, WORD attributes) {
    DWORD done = 0;
    FillConsoleOutputCharacterA(state.output, ' ', static_cast<DWORD>(count), from, &done);
    FillConsoleOutputAttribute(state.output, attributes, static_cast<DWORD>(count), from, &done);
}

// Blanks from the cursor to the end of the visible screen; the cursor stays.
// Row by row: some consoles (wine's) do not carry a fill on into the next row.
void clear_to_end(const CONSOLE_SCREEN_BUFFER_INFO& info, COORD from) {
    const int last_row = std::max<int>(info.srWindow.Bottom, from.Y);
    blank_cells(from, info.dwSize.X - from.X, info.wAttributes);
    for (int row = from.Y + 1; row <= last_row; ++row) {
        COORD start;
        start.X = 0;
        start.Y = static_cast<SHORT>(row);
        blank_cells(start, info.dwSize.X, info.wAttributes);
    }
    SetConsoleCursorPosition(state.output, from);
}

// Carries out "ESC [ n A/B/C/J".
void cursor_sequence(char final_byte, int count) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!screen_info(info)) {
        return;
    }
    const COORD at = xterm_cursor(info);
    const int steps = std::max(1, count);
    switch (final_byte) {
    case 'A':
        move_cursor(at.X, std::max(0, at.Y - steps));
        break;
    case 'B':
        move_cursor(at.X, std::min(info.dwSize.Y - 1, at.Y + steps));
        break;
    case 'C':
        move_cursor(std::min(info.dwSize.X - 1, at.X + steps), at.Y);
        break;
    case 'J':
        clear_to_end(info, at);
        break;
    default:
        move_cursor(at.X, at.Y); // an unknown sequence changes nothing
        break;
    }
}

// Takes the sequence that starts at bytes[at] (ESC); returns where the bytes
// after it start. Sequences this console does not know are dropped, as a
// terminal ignores them.
std::size_t escape_sequence(const std::string& bytes, std::size_t at) {
    if (at + 1 >= bytes.size() || bytes[at + 1] != '[') {
        return at + 1;
    }
    int count = 0;
    std::size_t next = at + 2;
    while (next < bytes.size() && bytes[next] >= '0' && bytes[next] <= '9') {
        count = std::min(count * 10 + (bytes[next] - '0'), 9999);
        ++next;
    }
    if (next < bytes.size()) {
        cursor_sequence(bytes[next], count);
        ++next;
    }
    return next;
}

void write_to_console(const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t stop = std::min(bytes.find_first_of("\x1b\r\n", at), bytes.size());
        if (stop > at) {
            write_text_run(bytes, at, stop - at);
            at = stop;
        } else if (bytes[at] == '\x1b') {
            at = escape_sequence(bytes, at);
        } else if (bytes[at] == '\r') {
            carriage_return();
            ++at;
        } else {
            line_feed();
            ++at;
        }
    }
}

// ---- Input ------------------------------------------------------------------------

// The xterm bytes of keys that are matched by their virtual key code: the
// editing keys, and keys that bring no character but still count as a key.
const char* special_key_bytes(WORD key_code) {
    switch (key_code) {
    case VK_ESCAPE:
        return "\x1b";
    case VK_RETURN:
        return "\r";
    case VK_BACK:
        return "\b";
    case VK_LEFT:
        return "\x1b[D";
    case VK_RIGHT:
        return "\x1b[C";
    case VK_UP:
        return "\x1b[A";
    case VK_DOWN:
        return "\x1b[B";
    case VK_HOME:
        return "\x1b[H";
    case VK_END:
        return "\x1b[F";
    case VK_DELETE:
        return "\x1b[3~";
    case VK_INSERT:
        return "\x1b[2~";
    case VK_PRIOR:
        return "\x1b[5~";
    case VK_NEXT:
        return "\x1b[6~";
    default:
        return nullptr;
    }
}

// F1..F12 as an xterm sends them.
const char* function_key_bytes(WORD key_code) {
    static const char* const SEQUENCES[] = {
        "\x1bOP",   "\x1bOQ",   "\x1bOR",   "\x1bOS",   "\x1b[15~", "\x1b[17~",
        "\x1b[18~", "\x1b[19~", "\x1b[20~", "\x1b[21~", "\x1b[23~", "\x1b[24~",
    };
    if (key_code < VK_F1 || key_code > VK_F12) {
        return nullptr;
    }
    return SEQUENCES[key_code - VK_F1];
}

// The bytes of a key without its repeats.
std::string one_key_bytes(const KEY_EVENT_RECORD& key) {
    if (const char* bytes = special_key_bytes(key.wVirtualKeyCode)) {
        return bytes;
    }
    if (const char* bytes = function_key_bytes(key.wVirtualKeyCode)) {
        return bytes;
    }
    // Shift, Ctrl, Alt and the lock keys bring no character and are no key.
    return key.uChar.AsciiChar != 0 ? std::string(1, key.uChar.AsciiChar) : std::string();
}

// An xterm sends a one-byte key pressed with Alt as ESC and that byte. AltGr,
// which types characters on many keyboards, reports Ctrl with Alt.
std::string with_alt(const KEY_EVENT_RECORD& key, const std::string& bytes) {
    const DWORD modifiers = key.dwControlKeyState;
    const bool alt = (modifiers & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
    const bool ctrl = (modifiers & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    return alt && !ctrl && bytes.size() == 1 ? "\x1b" + bytes : bytes;
}

std::string key_event_bytes(const KEY_EVENT_RECORD& key) {
    if (!key.bKeyDown) {
        // A character typed as Alt + numpad digits arrives with the release
        // of Alt.
        const bool alt_code = key.wVirtualKeyCode == VK_MENU && key.uChar.AsciiChar != 0;
        return alt_code ? std::string(1, key.uChar.AsciiChar) : std::string();
    }
    const std::string one = with_alt(key, one_key_bytes(key));
    std::string bytes;
    for (WORD k = 0; k < std::max<WORD>(1, key.wRepeatCount); ++k) {
        bytes += one;
    }
    return bytes;
}

// Moves every event the console holds into typed; false when the console
// cannot be read.
bool take_console_events() {
    DWORD waiting = 0;
    if (!GetNumberOfConsoleInputEvents(state.input, &waiting)) {
        return false;
    }
    while (waiting > 0) {
        INPUT_RECORD records[EVENT_BATCH];
        DWORD count = 0;
        if (!ReadConsoleInputA(state.input, records, std::min(waiting, EVENT_BATCH), &count)) {
            return false;
        }
        for (DWORD k = 0; k < count; ++k) {
            if (records[k].EventType == KEY_EVENT) {
                state.typed += key_event_bytes(records[k].Event.KeyEvent);
            }
        }
        waiting -= std::min(waiting, count);
    }
    return true;
}

// Milliseconds left until the deadline; INFINITE for a blocking read.
DWORD time_left(int timeout_ms, ULONGLONG started) {
    if (timeout_ms < 0) {
        return INFINITE;
    }
    const ULONGLONG spent = GetTickCount64() - started;
    const auto wanted = static_cast<ULONGLONG>(timeout_ms);
    return spent >= wanted ? 0 : static_cast<DWORD>(wanted - spent);
}

int read_console_keys(char* buffer, int size, int timeout_ms) {
    const ULONGLONG started = GetTickCount64();
    while (state.typed.empty()) {
        const DWORD left = time_left(timeout_ms, started);
        const DWORD signalled = WaitForSingleObject(state.input, left);
        if (signalled == WAIT_TIMEOUT) {
            return 0;
        }
        if (signalled != WAIT_OBJECT_0 || !take_console_events()) {
            return -1;
        }
        if (state.typed.empty() && left == 0) {
            return 0; // only events that are no keys
        }
    }
    const std::size_t count = std::min(state.typed.size(), static_cast<std::size_t>(size));
    state.typed.copy(buffer, count);
    state.typed.erase(0, count);
    return static_cast<int>(count);
}

// True when a read would not block, or the wait is over. Only pipes can be
// asked; files and devices are always ready.
bool stream_ready(int timeout_ms) {
    if (timeout_ms < 0 || GetFileType(state.input) != FILE_TYPE_PIPE) {
        return true;
    }
    const ULONGLONG started = GetTickCount64();
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(state.input, nullptr, 0, nullptr, &available, nullptr) ||
            available > 0) {
            return true; // a broken pipe is reported by the read itself
        }
        const DWORD left = time_left(timeout_ms, started);
        if (left == 0) {
            return false;
        }
        Sleep(std::min<DWORD>(left, POLL_STEP_MS));
    }
}

int read_stream(char* buffer, int size, int timeout_ms) {
    if (!stream_ready(timeout_ms)) {
        return 0;
    }
    DWORD count = 0;
    if (!ReadFile(state.input, buffer, static_cast<DWORD>(size), &count, nullptr)) {
        return -1; // a pipe whose writer is gone ends this way
    }
    return count > 0 ? static_cast<int>(count) : -1;
}

} // namespace

void platform_start(int argc, char** argv) {
    state.argc = argc;
    state.argv = argv;
    prepare_console();
}

void platform_exit(int status) {
    restore_console();
    std::exit(status);
}

std::string platform_argument(int n) {
    if (n < 1 || n >= state.argc || state.argv[n] == nullptr) {
        return {};
    }
    return state.argv[n];
}

bool platform_input_is_terminal() {
    return state.input_console;
}

bool platform_output_is_terminal() {
    return state.output_console;
}

void platform_write_console(const std::string& bytes) {
    if (state.output_console) {
        write_to_console(bytes);
    } else {
        write_to_stream(bytes.data(), bytes.size());
    }
}

int platform_read_console(char* buffer, int size, int timeout_ms) {
    if (size <= 0) {
        return 0;
    }
    return state.input_console ? read_console_keys(buffer, size, timeout_ms)
                               : read_stream(buffer, size, timeout_ms);
}

int platform_console_columns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    // Rows wrap at the buffer's width, which may exceed the window's.
    if (state.output_console && screen_info(info) && info.dwSize.X > 0) {
        return info.dwSize.X;
    }
    return 80;
}

bool platform_console_is_utf8() {
    return state.output_console && GetConsoleOutputCP() == CP_UTF8;
}

void platform_set_text_attribute(int attribute) {
    if (state.output_console) {
        SetConsoleTextAttribute(state.output, static_cast<WORD>(attribute));
    }
}

void platform_lock_console_window() {
    // Without a console window every call fails and nothing changes.
    const HWND window = GetConsoleWindow();
    LONG style = GetWindowLongA(window, GWL_STYLE);
    style &= ~static_cast<LONG>(WS_THICKFRAME);
    style &= ~static_cast<LONG>(WS_MAXIMIZEBOX);
    SetWindowLongA(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

double platform_clock_seconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0 &&
        QueryPerformanceCounter(&counter)) {
        return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
    }
    return static_cast<double>(GetTickCount()) * 0.001;
}

void platform_sleep_ms(int ms) {
    if (ms > 0) {
        Sleep(static_cast<DWORD>(ms));
    }
}

} // namespace morv
