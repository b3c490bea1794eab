// The console, the clock and the process's start and end on Windows.
//
// Keys come from ReadConsoleInputW as key events and are turned into the
// bytes an xterm sends (console_key_event), so the same decoder and line
// editor serve both platforms; their characters go into the output code
// page, which text is shown and names are stored in, whatever the input code
// page. The line editor's frames use a few xterm cursor sequences; a Windows
// console does not understand them everywhere, so console_screen carries
// them out with the screen calls here, on the screen buffer's cursor
// position. A new screen buffer size (the window resized)
// wakes a waiting read once and is taken as a redraw of the typed line. The
// console's own modes
// come back on every way out: a normal end and Ctrl+C or Ctrl+Break, whose
// default handling (ending the process) stays on.
#include <windows.h>

#include "console_input.h"
#include "console_key_event.h"
#include "console_screen.h"
#include "platform_console.h"
#include "platform_win32_path.h"

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
    ConsoleInput events; // key bytes translated but not yet delivered
    ScreenWriter screen;
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

std::string console_character_bytes(char32_t character) {
    return code_page_character(character, console_code_page());
}

// Key and buffer size events only, Ctrl+C handled by the system, nothing
// echoed.
DWORD raw_input_mode(DWORD mode) {
    const DWORD dropped =
        ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_MOUSE_INPUT | VIRTUAL_TERMINAL_INPUT;
    return (mode | ENABLE_PROCESSED_INPUT | ENABLE_WINDOW_INPUT) & ~dropped;
}

void prepare_console() {
    state.input = GetStdHandle(STD_INPUT_HANDLE);
    state.output = GetStdHandle(STD_OUTPUT_HANDLE);
    state.input_console = console_mode(state.input, state.saved_input_mode);
    state.output_console = console_mode(state.output, state.saved_output_mode);
    if (!state.input_console && !state.output_console) {
        return;
    }
    state.events.keys.character_bytes = console_character_bytes;
    state.modes_changed = 1;
    SetConsoleCtrlHandler(on_console_event, TRUE);
    std::atexit(restore_console);
    if (state.input_console) {
        SetConsoleMode(state.input, raw_input_mode(state.saved_input_mode));
        // Wine's console on a terminal switches it to raw mode only once keys
        // are first asked for; asking at once shortens the time in which the
        // terminal itself echoes and edits what is typed.
        INPUT_RECORD record;
        DWORD count = 0;
        PeekConsoleInputW(state.input, &record, 1, &count);
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

} // namespace

// ---- Screen calls for the line editor's frames ---------------------------------

void screen_write(const char* bytes, std::size_t size) {
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

bool screen_info(ScreenInfo& info) {
    CONSOLE_SCREEN_BUFFER_INFO buffer;
    if (!GetConsoleScreenBufferInfo(state.output, &buffer)) {
        return false;
    }
    info.columns = buffer.dwSize.X;
    info.rows = buffer.dwSize.Y;
    info.cursor_column = buffer.dwCursorPosition.X;
    info.cursor_row = buffer.dwCursorPosition.Y;
    info.window_top = buffer.srWindow.Top;
    info.window_bottom = buffer.srWindow.Bottom;
    return true;
}

void screen_move_cursor(int column, int row) {
    COORD place;
    place.X = static_cast<SHORT>(column);
    place.Y = static_cast<SHORT>(row);
    SetConsoleCursorPosition(state.output, place);
}

void screen_blank(int column, int row, int count) {
    CONSOLE_SCREEN_BUFFER_INFO buffer;
    if (count <= 0 || !GetConsoleScreenBufferInfo(state.output, &buffer)) {
        return;
    }
    COORD from;
    from.X = static_cast<SHORT>(column);
    from.Y = static_cast<SHORT>(row);
    DWORD done = 0;
    FillConsoleOutputCharacterA(state.output, ' ', static_cast<DWORD>(count), from, &done);
    FillConsoleOutputAttribute(state.output, buffer.wAttributes, static_cast<DWORD>(count), from,
                               &done);
}

namespace {

// ---- Input ------------------------------------------------------------------------

// The translation is written with Windows's own numbers; they must agree.
static_assert(KEY_CODE_ESCAPE == VK_ESCAPE && KEY_CODE_RETURN == VK_RETURN &&
              KEY_CODE_TAB == VK_TAB && KEY_CODE_BACK == VK_BACK && KEY_CODE_MENU == VK_MENU &&
              KEY_CODE_CLEAR == VK_CLEAR);
static_assert(KEY_CODE_LEFT == VK_LEFT && KEY_CODE_RIGHT == VK_RIGHT && KEY_CODE_UP == VK_UP &&
              KEY_CODE_DOWN == VK_DOWN && KEY_CODE_HOME == VK_HOME && KEY_CODE_END == VK_END);
static_assert(KEY_CODE_DELETE == VK_DELETE && KEY_CODE_INSERT == VK_INSERT &&
              KEY_CODE_PRIOR == VK_PRIOR && KEY_CODE_NEXT == VK_NEXT);
static_assert(KEY_CODE_NUMPAD0 == VK_NUMPAD0 && KEY_CODE_NUMPAD9 == VK_NUMPAD9 &&
              KEY_CODE_F1 == VK_F1 && KEY_CODE_F12 == VK_F12);
static_assert(CONSOLE_KEY_EVENT == KEY_EVENT &&
              CONSOLE_BUFFER_SIZE_EVENT == WINDOW_BUFFER_SIZE_EVENT);
static_assert(KEY_STATE_LEFT_ALT == LEFT_ALT_PRESSED && KEY_STATE_RIGHT_ALT == RIGHT_ALT_PRESSED &&
              KEY_STATE_LEFT_CTRL == LEFT_CTRL_PRESSED &&
              KEY_STATE_RIGHT_CTRL == RIGHT_CTRL_PRESSED && KEY_STATE_ENHANCED == ENHANCED_KEY &&
              KEY_STATE_SHIFT == SHIFT_PRESSED);

ConsoleKeyEvent key_event(const KEY_EVENT_RECORD& record) {
    ConsoleKeyEvent event;
    event.key_down = record.bKeyDown != 0;
    event.repeat = record.wRepeatCount;
    event.virtual_key = record.wVirtualKeyCode;
    event.character = static_cast<char16_t>(record.uChar.UnicodeChar);
    event.control_state = record.dwControlKeyState;
    return event;
}

// Takes in every event the console holds; false when the console cannot be
// read.
bool take_console_events() {
    DWORD waiting = 0;
    if (!GetNumberOfConsoleInputEvents(state.input, &waiting)) {
        return false;
    }
    while (waiting > 0) {
        INPUT_RECORD records[EVENT_BATCH];
        DWORD count = 0;
        if (!ReadConsoleInputW(state.input, records, std::min(waiting, EVENT_BATCH), &count)) {
            return false;
        }
        for (DWORD k = 0; k < count; ++k) {
            const INPUT_RECORD& record = records[k];
            take_console_event(state.events, record.EventType,
                               record.EventType == KEY_EVENT ? key_event(record.Event.KeyEvent)
                                                             : ConsoleKeyEvent{});
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
    for (;;) {
        const int count = read_console_input(state.events, buffer, size);
        if (count != CONSOLE_NOTHING_YET) {
            return count;
        }
        const DWORD left = time_left(timeout_ms, started);
        const DWORD signalled = WaitForSingleObject(state.input, left);
        if (signalled == WAIT_TIMEOUT) {
            return 0;
        }
        if (signalled != WAIT_OBJECT_0 || !take_console_events()) {
            return -1;
        }
        if (left == 0) {
            return std::max(0, read_console_input(state.events, buffer, size));
        }
    }
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
        write_screen_bytes(state.screen, bytes);
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
    ScreenInfo info;
    // Rows wrap at the buffer's width, which may exceed the window's.
    if (state.output_console && screen_info(info) && info.columns > 0) {
        return info.columns;
    }
    return 80;
}

int platform_console_rows() {
    return 0; // the buffer keeps the rows above the window, and moves reach them
}

bool platform_console_moves_cursor() {
    return true; // console_screen carries out the frames' sequences
}

ConsoleChange platform_console_change() {
    const bool resized = state.events.resized;
    state.events.resized = false;
    return resized ? CONSOLE_RESIZED : CONSOLE_UNCHANGED;
}

bool platform_console_is_utf8() {
    return state.output_console && GetConsoleOutputCP() == CP_UTF8;
}

void platform_set_text_attribute(int attribute) {
    const char* no_colour = std::getenv("NO_COLOR");
    if (state.output_console && (no_colour == nullptr || *no_colour == '\0')) {
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

const char* platform_help_switch() {
    return "/?";
}

const char* platform_text_line_end() {
    return "\r\n";
}

} // namespace morv

namespace morv {

// The typed line is drawn only where the dialogue is: on the console, not
// beside a redirected output.
bool platform_echo_is_terminal() {
    return platform_output_is_terminal();
}

void platform_write_echo(const std::string& bytes) {
    if (platform_output_is_terminal()) {
        platform_write_console(bytes);
    }
}

} // namespace morv
