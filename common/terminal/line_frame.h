// The terminal frames that show the line a user types after a prompt, also
// when it runs over several rows.
//
// Terminal contract: a frame uses only CR, "ESC [ n A" (up), "ESC [ n B"
// (down), "ESC [ n C" (right), "ESC [ J" (clear to the end of the screen),
// and "ESC [ H" (the screen's top left corner). A frame rewrites only what
// changed since the last one and the grapheme cluster it may join, so typing
// at the end of a long line costs a few bytes per key. The cursor is never left waiting at a row's
// right edge: where the text ends there, a blank and CR take it to the next row, so that the
// terminal has wrapped the row itself and rewraps it on a resize.
//
// On a terminal that takes no control sequences (moves_cursor clear) a frame
// is only text, BS, CR and LF: the line grows and shrinks at its end, by BS,
// blank, BS; a change it cannot show that way shows the line afresh on a new
// row. The caller keeps the editor's cursor at the end of the line there.
//
// Cells: the prompt's first row is row 0, and cell c stands in row c / width
// and column c % width. A wide character that would not fit in a row's last
// column starts the next row, as a terminal puts it; so does each wide
// character a cluster is drawn as, such as an emoji and its skin tone.
//
// A prompt and line taller than the screen push their first rows off its
// top, out of reach of any cursor move. When a change or the cursor lies
// outside the rows the screen shows, the frame draws afresh, from the
// screen's top row, the rows around the cursor that fit. The screen is
// cleared by overwriting and erasing below, never by "ESC [ J" at its top
// left corner, which terminals such as tmux take as "keep the screen in the
// scrollback", from where a later widening brings stale rows back.
#pragma once

#include "line_editor.h"

#include <cstddef>
#include <string>

namespace morv {

// Where the line stands on the terminal and what the terminal shows of it.
// Where a leading part of the line ends on the terminal, kept so that typing
// at the end of a long line lays out only what is new.
struct LayoutMark {
    std::size_t offset = 0;      // text[0, offset) ...
    std::size_t cell = 0;        // ... ends before this cell
    std::size_t back_offset = 0; // the same for the cluster before offset
    std::size_t back_cell = 0;
    std::size_t start = 0; // laid out from this start cell
    std::size_t width = 0; // at this terminal width; 0: no mark
};

struct EditView {
    std::string lead;     // what was printed since the last line end: the prompt
    int start_column = 0; // cell of the line's first character
    int width = 80;       // terminal columns
    int rows = 0;         // terminal rows; 0 when not known
    bool moves_cursor = true;
    std::size_t top_row = 0;      // the first row of the prompt the screen still shows
    bool at_screen_top = false;   // the screen's top row is top_row
    std::size_t shown_length = 0; // cells of the shown line from start_column on
    std::size_t shown_cursor = 0; // the cursor's cell from start_column on
    std::string shown;            // the shown line, kept where the cursor never moves
    LayoutMark mark;
};

// Puts the line after lead, the text printed before it on its row(s).
void set_lead(EditView& view, const std::string& lead, bool utf8);

// The bytes to write before the first frame: a prompt that fills its row to
// the edge leaves the terminal waiting to wrap; this wraps.
std::string start_frame(const EditView& view);

// The bytes that bring the terminal from what view shows to the editor's
// state; updates view and clears the editor's change mark.
std::string render_frame(LineEditor& editor, EditView& view);

enum RedrawKind {
    // The terminal changed its width (view.width is the new one) and rewrapped
    // its rows, keeping the cursor on its character.
    REDRAW_AFTER_RESIZE,
    // The cursor stands at the start of an empty row, as after a shell's fg.
    REDRAW_ON_FRESH_ROW,
    // Clear the screen and show the prompt and line at the top.
    REDRAW_AT_TOP,
};

// Draws the prompt and the line again in full, the cursor where it was.
std::string redraw_frame(LineEditor& editor, EditView& view, RedrawKind kind);

// The last frame, after Enter: the cursor at the end of the line, where the
// line end CR LF starts the next row, never an empty one.
std::string finish_frame(LineEditor& editor, EditView& view);

} // namespace morv
