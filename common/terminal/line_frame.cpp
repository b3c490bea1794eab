// The terminal frames that show the typed line.
#include "line_frame.h"

#include "display_width.h"
#include "grapheme.h"

#include <algorithm>

namespace morv {
namespace {

struct Place {
    std::size_t row;
    std::size_t column;
};

std::size_t width_of(const EditView& view) {
    return static_cast<std::size_t>(std::max(1, view.width));
}

std::size_t start_of(const EditView& view) {
    return static_cast<std::size_t>(view.start_column);
}

Place place_of(const EditView& view, std::size_t cell) {
    return {cell / width_of(view), cell % width_of(view)};
}

bool needs_padding(std::size_t cell, int columns, std::size_t width) {
    return columns == 2 && width >= 2 && cell % width == width - 1;
}

// The cell after a drawn character laid out from cell on: a two-column one that does not fit in a
// row's last column starts the next row.
std::size_t cell_after(const DrawnCharacter& drawn, std::size_t cell, std::size_t width) {
    return cell + (needs_padding(cell, drawn.columns, width) ? 1 : 0) +
           static_cast<std::size_t>(drawn.columns);
}

// The cell after text[begin, end) laid out from cell on.
std::size_t lay_out(const std::string& text, std::size_t begin, std::size_t end, bool utf8,
                    std::size_t cell, std::size_t width) {
    for (std::size_t at = begin; at < end;) {
        const std::size_t cluster_end = cluster_extent(text, at, utf8).end;
        while (at < cluster_end) {
            const DrawnCharacter drawn = drawn_character(text, at, cluster_end, utf8);
            cell = cell_after(drawn, cell, width);
            at = drawn.end;
        }
    }
    return cell;
}

// Writes text[begin, end) from cell on; a blank fills a padding cell so that
// nothing shown before stays there, also one between the characters of a
// cluster, which the terminal draws apart. Returns the cell after it.
std::size_t append_laid_out(std::string& frame, const std::string& text, std::size_t begin,
                            bool utf8, std::size_t cell, std::size_t width) {
    for (std::size_t at = begin; at < text.size();) {
        const std::size_t cluster_end = cluster_extent(text, at, utf8).end;
        while (at < cluster_end) {
            const DrawnCharacter drawn = drawn_character(text, at, cluster_end, utf8);
            if (needs_padding(cell, drawn.columns, width)) {
                frame += ' ';
            }
            frame.append(text, at, drawn.end - at);
            cell = cell_after(drawn, cell, width);
            at = drawn.end;
        }
    }
    return cell;
}

// The cell where text[0, offset) ends (offset at a cluster's start). The
// layout goes on from the mark while the row geometry is the same and the
// text before it unchanged; a change right at the mark may join the cluster
// before it to what follows, so the layout then goes on from that cluster.
std::size_t cell_of(const LineEditor& editor, EditView& view, std::size_t offset) {
    LayoutMark& mark = view.mark;
    if (editor.changed && editor.changed_from <= mark.offset) {
        mark.offset = mark.back_offset;
        mark.cell = mark.back_cell;
        if (editor.changed_from <= mark.offset) {
            mark.width = 0;
        }
    }
    if (mark.width != width_of(view) || mark.start != start_of(view) || mark.offset > offset ||
        mark.offset > editor.text.size()) {
        mark = {0, start_of(view), 0, start_of(view), start_of(view), width_of(view)};
    }
    for (std::size_t at = mark.offset; at < offset;) {
        const ClusterExtent cluster = cluster_extent(editor.text, at, editor.utf8);
        mark.back_offset = at;
        mark.back_cell = mark.cell;
        mark.cell = lay_out(editor.text, at, cluster.end, editor.utf8, mark.cell, width_of(view));
        at = cluster.end;
    }
    mark.offset = offset;
    return mark.cell;
}

void append_move(std::string& frame, const EditView& view, std::size_t from, std::size_t to) {
    const Place a = place_of(view, from);
    const Place b = place_of(view, to);
    if (a.row == b.row && a.column == b.column) {
        return;
    }
    if (b.row < a.row) {
        frame += "\x1b[" + std::to_string(a.row - b.row) + "A";
    } else if (b.row > a.row) {
        frame += "\x1b[" + std::to_string(b.row - a.row) + "B";
    }
    frame += "\r";
    if (b.column > 0) {
        frame += "\x1b[" + std::to_string(b.column) + "C";
    }
}

bool on_row_edge(const EditView& view, std::size_t cell) {
    return cell > 0 && place_of(view, cell).column == 0;
}

// After a character lands in the last column the terminal holds the cursor
// there until the next one; a blank makes it wrap, CR goes back over the
// blank. A line end there would split the row from the next one for good.
void wrap_at_edge(std::string& frame) {
    frame += " \r";
}

void show_all(std::string& frame, LineEditor& editor, EditView& view) {
    set_lead(view, view.lead, editor.utf8);
    view.mark = LayoutMark{}; // the line is laid out anew from its start
    append_laid_out(frame, view.lead, 0, editor.utf8, 0, width_of(view));
    const std::size_t end =
        append_laid_out(frame, editor.text, 0, editor.utf8, start_of(view), width_of(view));
    if (view.moves_cursor && on_row_edge(view, end)) {
        wrap_at_edge(frame);
    }
    view.shown = editor.text;
    view.shown_length = end - start_of(view);
    view.shown_cursor = view.shown_length;
    editor.changed = false;
}

// ---- Rows off the screen ----------------------------------------------------------

bool on_screen(const EditView& view, std::size_t cell) {
    const std::size_t row = place_of(view, cell).row;
    return view.rows <= 0 ||
           (row >= view.top_row && row < view.top_row + static_cast<std::size_t>(view.rows));
}

// Writing down to cell scrolled the screen when it went past the bottom.
void note_written(EditView& view, std::size_t cell) {
    const std::size_t row = place_of(view, cell).row;
    const auto rows = static_cast<std::size_t>(view.rows);
    if (view.rows > 0 && row >= view.top_row + rows) {
        view.top_row = row - (rows - 1);
        view.at_screen_top = true;
    }
}

// True when writing the line from offset on would scroll the cursor's row
// off the screen's top.
bool scrolls_cursor_away(const LineEditor& editor, EditView& view, std::size_t offset,
                         std::size_t cell) {
    if (view.rows <= 0) {
        return false;
    }
    const std::size_t end =
        lay_out(editor.text, offset, editor.text.size(), editor.utf8, cell, width_of(view));
    const std::size_t end_row = place_of(view, end).row;
    const auto rows = static_cast<std::size_t>(view.rows);
    const std::size_t top = std::max(view.top_row, end_row >= rows ? end_row - (rows - 1) : 0);
    return place_of(view, cell_of(editor, view, editor.cursor)).row < top;
}

// Writes the drawn characters of text laid out from cell on that fall in
// the cells first..last; returns the cell after the last one written.
std::size_t append_window(std::string& frame, const std::string& text, bool utf8, std::size_t cell,
                          std::size_t width, std::size_t first, std::size_t last) {
    for (std::size_t at = 0; at < text.size() && cell < last;) {
        const std::size_t cluster_end = cluster_extent(text, at, utf8).end;
        while (at < cluster_end && cell < last) {
            const DrawnCharacter drawn = drawn_character(text, at, cluster_end, utf8);
            const std::size_t pad = needs_padding(cell, drawn.columns, width) ? 1 : 0;
            const std::size_t next = cell_after(drawn, cell, width);
            if (next > last) {
                return std::max(cell, first);
            }
            if (cell + pad >= first) {
                frame.append(cell >= first ? pad : 0, ' ').append(text, at, drawn.end - at);
            }
            cell = next;
            at = drawn.end;
        }
    }
    return std::max(cell, first);
}

// The first row to show so that the cursor's row is on the screen, and as
// much of the line's end as fits beside it.
std::size_t first_row_shown(std::size_t cursor_row, std::size_t end_row, std::size_t rows) {
    const std::size_t for_end = end_row >= rows ? end_row - (rows - 1) : 0;
    const std::size_t for_cursor = cursor_row >= rows ? cursor_row - (rows - 1) : 0;
    return std::max(std::min(cursor_row, for_end), for_cursor);
}

std::string viewport_frame(LineEditor& editor, EditView& view) {
    const std::size_t width = width_of(view);
    const auto rows = static_cast<std::size_t>(view.rows);
    const std::size_t end =
        lay_out(editor.text, 0, editor.text.size(), editor.utf8, start_of(view), width);
    const std::size_t cursor = cell_of(editor, view, editor.cursor);
    editor.changed = false;
    view.top_row = first_row_shown(cursor / width, end / width, rows);
    view.at_screen_top = true;
    const std::size_t first = view.top_row * width;
    const std::size_t last = first + rows * width;
    // Up as far as the screen goes: its top row.
    std::string frame = "\x1b[" + std::to_string(rows) + "A\r";
    append_window(frame, view.lead, editor.utf8, 0, width, first, last);
    std::size_t at =
        append_window(frame, editor.text, editor.utf8, start_of(view), width, first, last);
    if (at >= last) {
        at = last - 1; // the bottom row is full: the cursor waits in its last column
    } else {
        if (on_row_edge(view, at) && at > first) {
            wrap_at_edge(frame);
        }
        frame += "\x1b[J";
    }
    append_move(frame, view, at, cursor);
    view.shown = editor.text;
    view.shown_length = end - start_of(view);
    view.shown_cursor = cursor - start_of(view);
    return frame;
}

// ---- Without cursor moves ------------------------------------------------------

// Bytes at the start that the text and the shown line share, whole
// clusters of both only.
std::size_t common_start(const LineEditor& editor, const std::string& shown) {
    const std::string& text = editor.text;
    std::size_t same = 0;
    while (same < text.size() && same < shown.size() && text[same] == shown[same]) {
        ++same;
    }
    return std::min(redraw_start(text, same, editor.utf8), redraw_start(shown, same, editor.utf8));
}

std::string fresh_row(LineEditor& editor, EditView& view) {
    std::string frame = "\r\n";
    show_all(frame, editor, view);
    return frame;
}

std::string render_plain_frame(LineEditor& editor, EditView& view) {
    if (!editor.changed) {
        return {};
    }
    const std::size_t same = common_start(editor, view.shown);
    const std::size_t width = width_of(view);
    const std::size_t kept_end = lay_out(view.shown, 0, same, editor.utf8, start_of(view), width);
    const std::size_t shown_end =
        lay_out(view.shown, same, view.shown.size(), editor.utf8, kept_end, width);
    std::string frame;
    if (same < view.shown.size()) {
        // BS at a row's edge is where terminals differ; erase within one row only.
        const bool in_row = shown_end > kept_end && shown_end % width != 0 &&
                            (kept_end % width != 0 || kept_end == 0) &&
                            shown_end / width == kept_end / width;
        if (!in_row) {
            return fresh_row(editor, view);
        }
        const std::size_t count = shown_end - kept_end;
        frame.append(count, '\b').append(count, ' ').append(count, '\b');
    }
    const std::size_t end = append_laid_out(frame, editor.text, same, editor.utf8, kept_end, width);
    view.shown = editor.text;
    view.shown_length = end - start_of(view);
    view.shown_cursor = view.shown_length;
    editor.changed = false;
    return frame;
}

std::string redraw_plain(LineEditor& editor, EditView& view, RedrawKind kind) {
    switch (kind) {
    case REDRAW_AFTER_RESIZE:
        return {}; // nothing can be moved; what is shown stays as the terminal wrapped it
    case REDRAW_ON_FRESH_ROW: {
        std::string frame = "\r";
        show_all(frame, editor, view);
        return frame;
    }
    case REDRAW_AT_TOP:
        break;
    }
    return fresh_row(editor, view);
}

bool continues_at(const std::string& text, std::size_t at) {
    return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
}

// True while the bytes of a UTF-8 character come in one by one: the
// terminal must get it whole, with no cursor move inside it.
bool awaits_rest_of_character(const LineEditor& editor) {
    if (!editor.utf8 || editor.cursor == 0 || editor.cursor > editor.text.size()) {
        return false;
    }
    std::size_t start = editor.cursor - 1;
    while (start > 0 && continues_at(editor.text, start)) {
        --start;
    }
    const std::size_t wanted = utf8_sequence_length(static_cast<unsigned char>(editor.text[start]));
    return wanted > editor.cursor - start && !continues_at(editor.text, editor.cursor);
}

} // namespace

void set_lead(EditView& view, const std::string& lead, bool utf8) {
    view.lead = lead;
    view.start_column = static_cast<int>(lay_out(lead, 0, lead.size(), utf8, 0, width_of(view)));
}

std::string start_frame(const EditView& view) {
    std::string frame;
    if (view.moves_cursor && on_row_edge(view, start_of(view))) {
        wrap_at_edge(frame);
    }
    return frame;
}

namespace {

std::string draw_changes(LineEditor& editor, EditView& view) {
    if (!view.moves_cursor) {
        return render_plain_frame(editor, view);
    }
    std::string frame;
    const std::size_t start = start_of(view);
    if (editor.changed) {
        // Bytes before changed_from are what the terminal shows already, but
        // the cluster they end with may now take in what follows.
        const std::size_t from = redraw_start(editor.text, editor.changed_from, editor.utf8);
        const std::size_t from_cell =
            std::min(cell_of(editor, view, from), start + view.shown_length);
        if (!on_screen(view, from_cell) || scrolls_cursor_away(editor, view, from, from_cell)) {
            return viewport_frame(editor, view);
        }
        append_move(frame, view, start + view.shown_cursor, from_cell);
        const std::size_t end =
            append_laid_out(frame, editor.text, from, editor.utf8, from_cell, width_of(view));
        if (on_row_edge(view, end) && end > from_cell) {
            wrap_at_edge(frame);
        }
        if (end < start + view.shown_length) {
            frame += "\x1b[J";
        }
        note_written(view, end);
        view.shown_length = end - start;
        view.shown_cursor = view.shown_length;
        editor.changed = false;
    }
    const std::size_t cursor = cell_of(editor, view, editor.cursor);
    if (!on_screen(view, cursor)) {
        return frame + viewport_frame(editor, view);
    }
    append_move(frame, view, start + view.shown_cursor, cursor);
    view.shown_cursor = cursor - start;
    return frame;
}

} // namespace

std::string render_frame(LineEditor& editor, EditView& view) {
    return awaits_rest_of_character(editor) ? std::string() : draw_changes(editor, view);
}

std::string redraw_frame(LineEditor& editor, EditView& view, RedrawKind kind) {
    if (!view.moves_cursor) {
        return redraw_plain(editor, view, kind);
    }
    if (kind == REDRAW_AFTER_RESIZE && view.at_screen_top && view.rows > 0) {
        // Widening brings rows back from the scrollback above the prompt's;
        // drawing from the screen's top leaves none of them in sight.
        return viewport_frame(editor, view);
    }
    std::string frame;
    switch (kind) {
    case REDRAW_AFTER_RESIZE: {
        // The terminal rewrapped the prompt's rows for the new width with the
        // cursor on its character: the prompt's first row is that many up.
        const std::size_t rows_up = (start_of(view) + view.shown_cursor) / width_of(view);
        if (rows_up > 0) {
            frame += "\x1b[" + std::to_string(rows_up) + "A";
        }
        frame += "\r";
        break;
    }
    case REDRAW_ON_FRESH_ROW:
        frame += "\r";
        break;
    case REDRAW_AT_TOP:
        frame += "\x1b[H";
        break;
    }
    view.top_row = 0;
    view.at_screen_top = kind == REDRAW_AT_TOP;
    show_all(frame, editor, view);
    const std::size_t end = start_of(view) + view.shown_length;
    frame += "\x1b[J";
    note_written(view, end);
    const std::size_t cursor = cell_of(editor, view, editor.cursor);
    if (!on_screen(view, cursor)) {
        return frame + viewport_frame(editor, view);
    }
    append_move(frame, view, end, cursor);
    view.shown_cursor = cursor - start_of(view);
    return frame;
}

std::string finish_frame(LineEditor& editor, EditView& view) {
    editor.cursor = editor.text.size();
    std::string frame = draw_changes(editor, view);
    const std::size_t end = start_of(view) + view.shown_length;
    if (!view.moves_cursor || !on_row_edge(view, end)) {
        return frame;
    }
    // The cursor stands at the start of the row below the line. Writing the
    // last character again leaves it at the edge, from where CR LF goes on
    // to the next row instead of leaving this one empty. Clearing first
    // tells the terminal that the row no longer runs on into the next.
    const bool in_lead = editor.text.empty();
    const std::string& text = in_lead ? view.lead : editor.text;
    const std::size_t last = cluster_start_before(text, text.size(), editor.utf8);
    const std::size_t first_cell = in_lead ? 0 : start_of(view);
    append_move(frame, view, end, lay_out(text, 0, last, editor.utf8, first_cell, width_of(view)));
    frame += "\x1b[J";
    frame.append(text, last, std::string::npos);
    return frame;
}

} // namespace morv
