// The line editor's xterm frames on a console that offers a cursor position
// instead of cursor sequences, as a Windows console does. The console is
// reached through the screen calls below, implemented by the Windows console
// and, in tests, by a screen of their own.
#pragma once

#include <cstddef>
#include <string>

namespace morv {

struct ScreenInfo {
    int columns = 80;
    int rows = 25; // rows of the whole buffer, not only the window's
    int cursor_column = 0;
    int cursor_row = 0;
    int window_top = 0;     // the first row the window shows
    int window_bottom = 24; // the last row the window shows
};

// ---- Screen calls ------------------------------------------------------------------

bool screen_info(ScreenInfo& info);

// Writes text, CR and LF as the console does: a character in the last column
// moves the cursor to the next row at once, scrolling at the buffer's end.
void screen_write(const char* bytes, std::size_t size);

void screen_move_cursor(int column, int row);

// Blanks count cells of one row from column on, in the current colours.
void screen_blank(int column, int row, int count);

// ---- Frames --------------------------------------------------------------------------

struct ScreenWriter {
    // An xterm keeps the cursor in the last column after a character lands
    // there, until the next one; the console has moved to the next row
    // already. Set while the console stands one step ahead of an xterm.
    bool wrap_pending = false;
};

// Writes bytes, carrying out CR, LF, "ESC [ n A/B/C/J" and "ESC [ H" as an
// xterm would, the screen being the window's rows.
// Other sequences are dropped, as a terminal ignores what it does not know.
void write_screen_bytes(ScreenWriter& writer, const std::string& bytes);

} // namespace morv
