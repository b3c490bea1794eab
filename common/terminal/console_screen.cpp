// xterm frames carried out with a console's cursor position.
#include "console_screen.h"

#include <algorithm>

namespace morv {
namespace {

struct Place {
    int column;
    int row;
};

void write_text_run(ScreenWriter& writer, const char* bytes, std::size_t count) {
    screen_write(bytes, count);
    ScreenInfo info;
    // Text without line ends that leaves the cursor in column 0 filled its
    // row to the last column.
    writer.wrap_pending = screen_info(info) && info.cursor_column == 0;
}

// Where an xterm's cursor stands: one step back while a wrap is pending.
Place xterm_cursor(ScreenWriter& writer, const ScreenInfo& info) {
    Place place{info.cursor_column, info.cursor_row};
    if (writer.wrap_pending) {
        place.column = info.columns - 1;
        place.row = std::max(0, place.row - 1);
        writer.wrap_pending = false;
    }
    return place;
}

void carriage_return(ScreenWriter& writer) {
    ScreenInfo info;
    if (writer.wrap_pending && screen_info(info)) {
        screen_move_cursor(0, xterm_cursor(writer, info).row);
        return;
    }
    screen_write("\r", 1);
}

void line_feed(ScreenWriter& writer) {
    if (writer.wrap_pending) {
        // The console has moved to the next row already, as an xterm does
        // on this line feed.
        writer.wrap_pending = false;
        return;
    }
    screen_write("\n", 1);
}

// Blanks from the cursor to the end of the window; the cursor stays. Row by
// row: some consoles (wine's) do not carry a fill on into the next row.
void clear_to_end(const ScreenInfo& info, Place from) {
    const int last_row = std::min(info.rows - 1, std::max(info.window_bottom, from.row));
    screen_blank(from.column, from.row, info.columns - from.column);
    for (int row = from.row + 1; row <= last_row; ++row) {
        screen_blank(0, row, info.columns);
    }
    screen_move_cursor(from.column, from.row);
}

// Blanks every row the window shows; the cursor stays.
void clear_window(const ScreenInfo& info, Place at) {
    for (int row = info.window_top; row <= info.window_bottom && row < info.rows; ++row) {
        screen_blank(0, row, info.columns);
    }
    screen_move_cursor(at.column, at.row);
}

// Carries out "ESC [ count final".
void cursor_sequence(ScreenWriter& writer, char final_byte, int count) {
    ScreenInfo info;
    if (!screen_info(info)) {
        return;
    }
    const Place at = xterm_cursor(writer, info);
    const int steps = std::max(1, count);
    switch (final_byte) {
    case 'A':
        screen_move_cursor(at.column, std::max(0, at.row - steps));
        break;
    case 'B':
        screen_move_cursor(at.column, std::min(info.rows - 1, at.row + steps));
        break;
    case 'C':
        screen_move_cursor(std::min(info.columns - 1, at.column + steps), at.row);
        break;
    case 'J':
        if (count == 2) {
            clear_window(info, at);
        } else {
            clear_to_end(info, at);
        }
        break;
    case 'H':
        screen_move_cursor(0, info.window_top);
        break;
    default:
        screen_move_cursor(at.column, at.row); // an unknown sequence changes nothing
        break;
    }
}

// Takes the sequence that starts at bytes[at] (ESC); returns where the bytes
// after it start.
std::size_t escape_sequence(ScreenWriter& writer, const std::string& bytes, std::size_t at) {
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
        cursor_sequence(writer, bytes[next], count);
        ++next;
    }
    return next;
}

} // namespace

void write_screen_bytes(ScreenWriter& writer, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t stop = std::min(bytes.find_first_of("\x1b\r\n", at), bytes.size());
        if (stop > at) {
            write_text_run(writer, bytes.data() + at, stop - at);
            at = stop;
        } else if (bytes[at] == '\x1b') {
            at = escape_sequence(writer, bytes, at);
        } else if (bytes[at] == '\r') {
            carriage_return(writer);
            ++at;
        } else {
            line_feed(writer);
            ++at;
        }
    }
}

} // namespace morv
