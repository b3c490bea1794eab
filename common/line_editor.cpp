// The line a user types after a prompt.
#include "line_editor.h"

#include "key_decoder.h"

#include <algorithm>

namespace morv {
namespace {

void mark_changed(LineEditor& editor, std::size_t from) {
    editor.changed_from = editor.changed ? std::min(editor.changed_from, from) : from;
    editor.changed = true;
}

void insert_bytes(LineEditor& editor, const std::string& bytes) {
    mark_changed(editor, editor.cursor);
    editor.text.insert(editor.cursor, bytes);
    editor.cursor += bytes.size();
}

void erase_at(LineEditor& editor, std::size_t at) {
    mark_changed(editor, at);
    editor.text.erase(at, 1);
}

void move_to(LineEditor& editor, std::size_t at) { editor.cursor = at; }

} // namespace

EditOutcome apply_key(LineEditor& editor, int key) {
    switch (key) {
    case '\r':
    case '\n':
        return EDIT_ENTERED;
    case '\t':
        insert_bytes(editor, std::string(TAB_STOP - editor.cursor % TAB_STOP, ' '));
        break;
    case 8:
    case 127:
        if (editor.cursor > 0) {
            --editor.cursor;
            erase_at(editor, editor.cursor);
        }
        break;
    case KEY_DELETE:
        if (editor.cursor < editor.text.size()) {
            erase_at(editor, editor.cursor);
        }
        break;
    case KEY_ESCAPE:
        mark_changed(editor, 0);
        editor.text.clear();
        editor.cursor = 0;
        break;
    case KEY_LEFT:
        move_to(editor, editor.cursor > 0 ? editor.cursor - 1 : 0);
        break;
    case KEY_RIGHT:
        move_to(editor, std::min(editor.cursor + 1, editor.text.size()));
        break;
    case KEY_HOME:
        move_to(editor, 0);
        break;
    case KEY_END:
        move_to(editor, editor.text.size());
        break;
    default:
        if (key >= 32 && key <= 255) {
            insert_bytes(editor, std::string(1, static_cast<char>(key)));
        }
        break;
    }
    return EDIT_GOES_ON;
}

namespace {

struct Place {
    std::size_t row;
    std::size_t column;
};

Place place_of(const EditView& view, std::size_t offset) {
    const std::size_t absolute = static_cast<std::size_t>(view.start_column) + offset;
    const auto width = static_cast<std::size_t>(view.width);
    return {absolute / width, absolute % width};
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

// After a byte is written in the last column the terminal holds the cursor
// there until the next byte; moving it to the next row keeps the row count
// that place_of computes true.
bool ends_on_row_edge(const EditView& view, std::size_t offset) {
    return offset > 0 && place_of(view, offset).column == 0;
}

} // namespace

std::string render_frame(LineEditor& editor, EditView& view) {
    std::string frame;
    if (editor.changed) {
        const std::size_t from = std::min(editor.changed_from, view.shown_length);
        append_move(frame, view, view.shown_cursor, from);
        frame.append(editor.text, from, std::string::npos);
        const std::size_t end = editor.text.size();
        if (ends_on_row_edge(view, end) && end > from) {
            frame += "\r\n";
        }
        if (end < view.shown_length) {
            frame += "\x1b[J";
        }
        view.shown_length = end;
        view.shown_cursor = end;
        editor.changed = false;
    }
    append_move(frame, view, view.shown_cursor, editor.cursor);
    view.shown_cursor = editor.cursor;
    return frame;
}

} // namespace morv
