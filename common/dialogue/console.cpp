// The console dialogue of both programs.
//
// Terminal mode (standard input is a terminal): the program echoes and edits
// the typed line itself; when standard output is a file or a pipe, it gets
// only the accepted answer, as plain text, and the line is drawn on the
// terminal beside it. A terminal that goes away at a prompt confirms nothing:
// the run ends there. Pipe mode (input from a file or a pipe): each prompt
// reads one line, ended by LF, CR LF or a lone CR, without echo; at the end of
// the input a prompt reads an empty line and console_input_ended() says so.
//
// A typed line is drawn again in full when the terminal asks for it: after a
// resize, after a suspension the shell has ended (fg), and on Ctrl+L, which
// clears the screen first. The prompt drawn again is whatever was printed
// since the last line end.
#include "console.h"

#include "field.h"
#include "key_decoder.h"
#include "line_editor.h"
#include "line_frame.h"
#include "number.h"
#include "platform_console.h"
#include "text.h"
#include "text_file.h"

#include <algorithm>

namespace morv {
namespace {

// A lone ESC is the Esc key when no further byte follows within this time.
constexpr int ESCAPE_WAIT_MS = 50;
constexpr int KEY_TEST_INTERVAL_MS = 50;
constexpr int READ_CHUNK = 65536;
constexpr int CTRL_L = 12;
// Text printed without a line end that is kept for a redraw; a prompt is far
// shorter.
constexpr std::size_t LEAD_LIMIT = 65536;
// A piped line longer than this keeps only its start: no answer is that
// long, and endless input without a line end must not exhaust the memory.
constexpr std::size_t PIPED_LINE_LIMIT = 16u << 20;

struct ConsoleState {
    bool terminal_input = false;
    bool utf8 = false; // the terminal shows multi-byte characters
    bool moves_cursor = true;
    bool shows_frames = true;   // the typed line is drawn on a terminal
    bool frames_beside = false; // ... beside standard output, a file or a pipe
    std::string pending;        // input bytes no prompt has taken yet
    std::size_t taken = 0;      // bytes of pending already used
    bool key_arrived = false;
    bool input_ended = false;
    bool skip_line_feed = false; // pipe mode: a CR ended the last line
    KeyDecoder decoder;          // terminal mode: what the last key left open
    std::string lead;            // printed since the last line end
    int background = 0;
};

ConsoleState console;

void compact_pending() {
    if (console.taken > 0) {
        console.pending.erase(0, console.taken);
        console.taken = 0;
    }
}

// Reads more input into pending; false when the input has ended.
bool fetch_input(int timeout_ms, bool& got_bytes) {
    compact_pending();
    char buffer[READ_CHUNK];
    const int count = platform_read_console(buffer, READ_CHUNK, timeout_ms);
    got_bytes = count > 0;
    if (count < 0) {
        return false;
    }
    console.pending.append(buffer, static_cast<std::size_t>(count));
    return true;
}

void note_printed(const std::string& text) {
    const std::size_t line_end = text.find_last_of("\r\n");
    if (line_end != std::string::npos) {
        console.lead = text.substr(line_end + 1);
    } else if (console.lead.size() + text.size() <= LEAD_LIMIT) {
        console.lead += text;
    }
}

// ---- Pipe mode -------------------------------------------------------------------

std::string read_piped_line() {
    std::string line;
    for (;;) {
        const std::string& bytes = console.pending;
        while (console.taken < bytes.size()) {
            const char c = bytes[console.taken++];
            if (console.skip_line_feed) {
                console.skip_line_feed = false;
                if (c == '\n') {
                    continue;
                }
            }
            if (c == '\n') {
                return line;
            }
            if (c == '\r') {
                console.skip_line_feed = true;
                return line;
            }
            if (line.size() < PIPED_LINE_LIMIT) {
                line += c;
            }
        }
        bool got_bytes = false;
        if (!fetch_input(-1, got_bytes)) {
            if (line.empty()) {
                console.input_ended = true;
            }
            return line;
        }
    }
}

// ---- Terminal mode ---------------------------------------------------------------

// Decodes the next pending key; waits briefly to tell a lone Esc from the
// start of a sequence. Bytes that make no key are passed over. KEY_NONE when
// nothing is pending.
int next_pending_key() {
    for (;;) {
        const std::string_view rest = std::string_view(console.pending).substr(console.taken);
        DecodedKey decoded = decode_key(console.decoder, rest, true);
        if (decoded.consumed == 0 && !rest.empty()) {
            bool got_bytes = false;
            if (!fetch_input(ESCAPE_WAIT_MS, got_bytes) || !got_bytes) {
                decoded =
                    decode_key(console.decoder,
                               std::string_view(console.pending).substr(console.taken), false);
            } else {
                continue;
            }
        }
        console.taken += decoded.consumed;
        if (decoded.key != KEY_NONE || decoded.consumed == 0) {
            return decoded.key;
        }
    }
}

// The whole keys pending and not yet taken; rest keeps what follows them, an
// unfinished sequence or nothing. Bytes that make no key (the LF of a CR LF
// whose CR was taken already, a NUL) count for none.
std::size_t whole_pending_keys(std::string_view& rest) {
    KeyDecoder decoder = console.decoder;
    rest = std::string_view(console.pending).substr(console.taken);
    std::size_t keys = 0;
    while (!rest.empty()) {
        const DecodedKey decoded = decode_key(decoder, rest, true);
        if (decoded.consumed == 0) {
            break;
        }
        keys += decoded.key != KEY_NONE ? 1 : 0;
        rest.remove_prefix(decoded.consumed);
    }
    return keys;
}

// The keys pending; an unfinished sequence counts as the key it starts.
std::size_t pending_key_count() {
    std::string_view rest;
    const std::size_t keys = whole_pending_keys(rest);
    return rest.empty() ? keys : keys + 1;
}

// A lone ESC that a wait takes in is the Esc key at once: held open for the
// bytes of a sequence, it would take the next key in as Alt and so swallow
// it. It becomes the Esc key's unambiguous form.
void settle_lone_escape() {
    std::string_view rest;
    whole_pending_keys(rest);
    if (rest == "\x1b") {
        console.pending += "[27u";
    }
}

// Frames go to a terminal only: a file or a pipe gets plain text, the answer
// once it is accepted.
void show_frame(const std::string& frame) {
    if (console.shows_frames) {
        platform_write_echo(frame);
    }
}

// Beside a file or a pipe, the prompt reaches the terminal through another
// program or not at all: the first frame draws the prompt's rows afresh, so
// that the line stands where its frames expect it.
std::string first_frame(LineEditor& editor, EditView& view) {
    return console.frames_beside && view.moves_cursor
               ? redraw_frame(editor, view, REDRAW_AFTER_RESIZE)
               : render_frame(editor, view);
}

// Beside a file or a pipe, the accepted answer is left to the output: its
// drawing is taken back to where the line began.
void end_frames(LineEditor& editor, EditView& view) {
    if (console.frames_beside) {
        LineEditor emptied = editor;
        apply_key(emptied, KEY_ESCAPE);
        show_frame(render_frame(emptied, view));
        platform_write_console(editor.text);
    } else {
        const std::string last_frame = finish_frame(editor, view);
        platform_write_console(console.shows_frames ? last_frame : editor.text);
    }
}

// Draws the line again when the terminal went through a change.
void follow_terminal(LineEditor& editor, EditView& view) {
    const ConsoleChange change = platform_console_change();
    if (change == CONSOLE_UNCHANGED) {
        return;
    }
    view.width = platform_console_columns();
    view.rows = platform_console_rows();
    show_frame(redraw_frame(editor, view,
                            change == CONSOLE_RESIZED ? REDRAW_AFTER_RESIZE : REDRAW_ON_FRESH_ROW));
}

std::string read_typed_line() {
    LineEditor editor;
    editor.utf8 = console.utf8;
    EditView view;
    view.width = platform_console_columns();
    view.rows = platform_console_rows();
    view.moves_cursor = console.moves_cursor;
    set_lead(view, console.lead, console.utf8);
    platform_console_change(); // what happened before the prompt is drawn already
    if (!console.frames_beside) {
        show_frame(start_frame(view));
    }
    bool drawn = false;
    for (;;) {
        follow_terminal(editor, view);
        int key = next_pending_key();
        if (key == KEY_NONE) {
            bool got_bytes = false;
            if (!fetch_input(-1, got_bytes)) {
                end_program(0); // a closed terminal confirms no answer
            }
            continue;
        }
        console.key_arrived = false;
        if (key == CTRL_L) {
            show_frame(redraw_frame(editor, view, REDRAW_AT_TOP));
            continue;
        }
        if (apply_key(editor, key) == EDIT_ENTERED) {
            break;
        }
        if (!view.moves_cursor) {
            editor.cursor = editor.text.size(); // nothing can show a cursor elsewhere
        }
        if (console.taken >= console.pending.size()) {
            // Everything typed so far is handled: show it in one write.
            show_frame(drawn ? render_frame(editor, view) : first_frame(editor, view));
            drawn = true;
        }
    }
    end_frames(editor, view);
    // Keys typed after Enter came in with it: they are pending, not taken.
    console.key_arrived = pending_key_count() > 0;
    return editor.text;
}

// Takes in every key the console holds; true when a key arrived since the
// last test. A key that ended an earlier wait stays pending, so only a key
// that is new counts.
bool key_test() {
    const std::size_t keys_before = pending_key_count();
    bool got_bytes = true;
    while (got_bytes) {
        if (!fetch_input(0, got_bytes)) {
            console.input_ended = true;
            break;
        }
    }
    settle_lone_escape();
    if (pending_key_count() > keys_before) {
        console.key_arrived = true;
    }
    const bool arrived = console.key_arrived;
    console.key_arrived = false;
    return arrived;
}

std::string read_line(const std::string& prompt) {
    print_text(prompt, false);
    const std::string line = console.terminal_input ? read_typed_line() : read_piped_line();
    print_text("", true);
    return line;
}

// Sleeps until the clock reaches the moment, however coarse the sleep is.
void sleep_until(double moment) {
    for (;;) {
        const double left = moment - platform_clock_seconds();
        if (left < 0.0005) {
            return; // within half a millisecond is on time
        }
        platform_sleep_ms(std::max(1, static_cast<int>(left * 1000.0 + 0.5)));
    }
}

} // namespace

void start_console(int argc, char** argv) {
    platform_start(argc, argv);
    console = ConsoleState{};
    console.terminal_input = platform_input_is_terminal();
    console.utf8 = console.terminal_input && platform_console_is_utf8();
    console.moves_cursor = platform_console_moves_cursor();
    console.shows_frames = console.terminal_input && platform_echo_is_terminal();
    console.frames_beside = console.shows_frames && !platform_output_is_terminal();
}

void print_text(const std::string& text, bool line_end) {
    const std::string bytes = line_end ? text + LINE_END : text;
    platform_write_console(bytes);
    note_printed(bytes);
}

void print_integer(std::int32_t value) {
    // Built in place: g++ -O3 warns falsely about "literal" + a temporary string.
    std::string text = value >= 0 ? std::string(1, ' ') : std::string();
    text += int_to_text(value);
    print_text(text, true);
}

void set_colour(int colour) {
    platform_set_text_attribute(colour + 16 * console.background);
}

std::string prompt_field(const std::string& prompt) {
    return first_field(read_line(prompt));
}

std::int32_t prompt_integer(const std::string& prompt) {
    return integer_field_value(first_integer_field(read_line(prompt)));
}

std::string prompt_line(const std::string& prompt) {
    return read_line(prompt);
}

bool console_input_ended() {
    return console.input_ended;
}

void wait_for_key() {
    if (!console.terminal_input) {
        return;
    }
    while (!key_test()) {
        if (console.input_ended) {
            return;
        }
        platform_sleep_ms(KEY_TEST_INTERVAL_MS);
    }
}

void pause_ms(int ms) {
    if (ms == -1) {
        wait_for_key();
        return;
    }
    if (ms < 0) {
        return;
    }
    const double start = platform_clock_seconds();
    if (ms >= 100 && console.terminal_input) {
        int left = ms;
        int tick = 0;
        do {
            if (key_test()) {
                return;
            }
            ++tick;
            sleep_until(start + tick * KEY_TEST_INTERVAL_MS / 1000.0);
            left -= KEY_TEST_INTERVAL_MS;
        } while (left > KEY_TEST_INTERVAL_MS);
    }
    sleep_until(start + ms / 1000.0);
}

std::string program_argument(int n) {
    return platform_argument(n);
}

void end_program(int status) {
    close_all_text_files();
    platform_exit(status);
}

} // namespace morv
