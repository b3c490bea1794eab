// The line editor's frames on a screen that behaves like a Windows console:
// no cursor sequences, and a character in the last column moves the cursor to
// the next row at once. The rows must show what an xterm shows.
#include "console_screen.h"
#include "key_decoder.h"
#include "line_editor.h"
#include "line_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morv {

// ---- A Windows-like console screen behind the screen calls ---------------------------

namespace {

struct TestScreen {
    int columns = 20;
    std::vector<std::string> rows;
    int column = 0;
    int row = 0;
    int blanks_past_the_row = 0; // fills that would run on into the next row
};

TestScreen screen;

void reset_screen(int columns, int rows) {
    screen = TestScreen{};
    screen.columns = columns;
    screen.rows.assign(static_cast<std::size_t>(rows),
                       std::string(static_cast<std::size_t>(columns), ' '));
}

std::string& row_text(int row) {
    return screen.rows[static_cast<std::size_t>(row)];
}

// To the start of the next row; at the buffer's end its first row goes.
void next_row() {
    screen.column = 0;
    if (screen.row + 1 < static_cast<int>(screen.rows.size())) {
        ++screen.row;
        return;
    }
    screen.rows.erase(screen.rows.begin());
    screen.rows.emplace_back(static_cast<std::size_t>(screen.columns), ' ');
}

// The screen as text, trailing blanks dropped from each row.
std::vector<std::string> shown_rows() {
    std::vector<std::string> rows;
    for (const std::string& row : screen.rows) {
        rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
    }
    return rows;
}

} // namespace

bool screen_info(ScreenInfo& info) {
    info.columns = screen.columns;
    info.rows = static_cast<int>(screen.rows.size());
    info.cursor_column = screen.column;
    info.cursor_row = screen.row;
    info.window_bottom = info.rows - 1;
    return true;
}

void screen_write(const char* bytes, std::size_t size) {
    for (std::size_t k = 0; k < size; ++k) {
        if (bytes[k] == '\r') {
            screen.column = 0;
        } else if (bytes[k] == '\n') {
            next_row();
        } else {
            row_text(screen.row)[static_cast<std::size_t>(screen.column)] = bytes[k];
            if (++screen.column == screen.columns) {
                next_row();
            }
        }
    }
}

void screen_move_cursor(int column, int row) {
    screen.column = column;
    screen.row = row;
}

void screen_blank(int column, int row, int count) {
    if (column + count > screen.columns) {
        ++screen.blanks_past_the_row;
    }
    const int stop = std::min(column + count, screen.columns);
    for (int k = column; k < stop; ++k) {
        row_text(row)[static_cast<std::size_t>(k)] = ' ';
    }
}

namespace {

constexpr int COLUMNS = 20;
constexpr int ROWS = 8;
const std::string PROMPT = "Name: ";

std::string long_text(std::size_t length) {
    const std::string pattern = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string text;
    while (text.size() < length) {
        text += pattern;
    }
    return text.substr(0, length);
}

std::vector<int> keys_of(const std::string& text) {
    return std::vector<int>(text.begin(), text.end());
}

std::vector<int> times(int key, int count) {
    return std::vector<int>(static_cast<std::size_t>(count), key);
}

std::vector<int> join(std::initializer_list<std::vector<int>> parts) {
    std::vector<int> keys;
    for (const auto& part : parts) {
        keys.insert(keys.end(), part.begin(), part.end());
    }
    return keys;
}

// The prompt's row, the rows above it as they were, and from the prompt on
// the prompt and line running over as many rows as they need.
std::vector<std::string> expected_rows(const std::vector<std::string>& above,
                                       const std::string& line) {
    std::vector<std::string> rows = above;
    std::string rest = PROMPT + line;
    do {
        rows.push_back(rest.substr(0, COLUMNS));
        rest.erase(0, std::min<std::size_t>(COLUMNS, rest.size()));
    } while (!rest.empty());
    rows.resize(ROWS);
    return rows;
}

struct Edit {
    const char* what;
    std::string typed;
    std::vector<int> keys;
    std::string line;
    std::size_t most_rows; // the most rows the prompt and line took on the way
};

// Shows the prompt below the filler rows, types the text in one frame and
// then each key in a frame of its own, as keys come one by one.
void run_edit(const Edit& edit, const std::vector<std::string>& filler) {
    reset_screen(COLUMNS, ROWS);
    ScreenWriter writer;
    for (const std::string& row : filler) {
        write_screen_bytes(writer, row + "\r\n");
    }
    write_screen_bytes(writer, PROMPT);
    LineEditor editor;
    EditView view;
    view.width = COLUMNS;
    view.start_column = static_cast<int>(PROMPT.size());
    for (int key : keys_of(edit.typed)) {
        apply_key(editor, key);
    }
    write_screen_bytes(writer, render_frame(editor, view));
    for (int key : edit.keys) {
        apply_key(editor, key);
        write_screen_bytes(writer, render_frame(editor, view));
    }
    ASSERT_EQ(editor.text, edit.line) << edit.what;

    // Rows the line once needed below the buffer's end scrolled the first
    // rows away, as they do on an xterm.
    const std::size_t scrolled = std::max<std::size_t>(filler.size() + edit.most_rows, ROWS) - ROWS;
    const std::vector<std::string> above(filler.begin() + static_cast<std::ptrdiff_t>(scrolled),
                                         filler.end());
    EXPECT_EQ(shown_rows(), expected_rows(above, edit.line)) << edit.what;
    EXPECT_EQ(screen.blanks_past_the_row, 0) << edit.what;

    // The cursor stands where the editor's cursor is.
    const std::size_t at = PROMPT.size() + editor.cursor;
    EXPECT_EQ(screen.column, static_cast<int>(at % COLUMNS)) << edit.what;
    EXPECT_EQ(screen.row, static_cast<int>(above.size() + at / COLUMNS)) << edit.what;
}

TEST(WriteScreenBytes, ShowsALineEditedOverWrappedRowsAsAnXtermDoes) {
    const std::string t40 = long_text(40); // three rows with the prompt
    const std::string t14 = long_text(14); // fills the prompt's row exactly
    const std::string t34 = long_text(34); // fills two rows exactly
    const std::string t50 = long_text(50);
    const Edit edits[] = {
        {"insert and delete in the middle row of three", t40,
         join({{KEY_HOME}, times(KEY_RIGHT, 20), keys_of("XYZ"), times(KEY_DELETE, 2)}),
         t40.substr(0, 20) + "XYZ" + t40.substr(22), 3},
        {"a row filled exactly, shortened at its edge",
         t14,
         {'\b', 'Q'},
         t14.substr(0, 13) + "Q",
         2},
        {"a row filled exactly, lengthened at its start", t14, {KEY_HOME, '!'}, "!" + t14, 2},
        {"over the edge and back", t14, {'!', '\b', '\b'}, t14.substr(0, 13), 2},
        {"two rows filled exactly, then the cursor at the start", t34, {KEY_HOME}, t34, 3},
        {"most of three rows deleted: the rows no longer used are cleared", t50,
         join({{KEY_HOME}, times(KEY_RIGHT, 5), times(KEY_DELETE, 30)}),
         t50.substr(0, 5) + t50.substr(35), 3},
        {"left across a row edge, then insert", t40, join({times(KEY_LEFT, 27), {'-'}}),
         t40.substr(0, 13) + "-" + t40.substr(13), 3},
        {"left onto the last column of a row, then delete", t40,
         join({times(KEY_LEFT, 27), {KEY_DELETE}}), t40.substr(0, 13) + t40.substr(14), 3},
        {"Esc on three rows leaves the prompt alone", t40, {KEY_ESCAPE, 'o', 'k'}, "ok", 3},
        {"End after Home on three rows", t50, {KEY_HOME, KEY_END, '+'}, t50 + "+", 3},
    };
    const std::vector<std::string> near_the_top = {"first"};
    std::vector<std::string> at_the_bottom; // the line scrolls the buffer
    for (int row = 1; row < ROWS; ++row) {
        at_the_bottom.push_back("row " + std::to_string(row));
    }
    for (const Edit& edit : edits) {
        run_edit(edit, near_the_top);
        run_edit(edit, at_the_bottom);
    }
}

// Rewraps the rows from first_row to last_row as one line at a new width, as
// a Windows console does when its buffer's width changes; the cursor stays
// on its character and the rows above are cut to the new width.
void rewrap_screen(int columns, int first_row, int last_row) {
    std::string line;
    for (int row = first_row; row <= last_row; ++row) {
        line += row_text(row);
    }
    line.erase(line.find_last_not_of(' ') + 1);
    const int offset = (screen.row - first_row) * screen.columns + screen.column;
    std::vector<std::string> rows;
    for (int row = 0; row < first_row; ++row) {
        rows.push_back(row_text(row).substr(0, static_cast<std::size_t>(columns)));
    }
    const auto width = static_cast<std::size_t>(columns);
    for (std::size_t at = 0; at < std::max<std::size_t>(line.size(), 1); at += width) {
        rows.push_back(line.substr(at, width));
    }
    const std::size_t count = screen.rows.size();
    while (rows.size() < count) {
        rows.emplace_back();
    }
    for (std::string& row : rows) {
        row.resize(width, ' ');
    }
    screen.columns = columns;
    screen.rows.assign(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(count));
    screen.column = offset % columns;
    screen.row = first_row + offset / columns;
}

// The buffer size event is taken as a redraw: after the console rewrapped
// the rows, the frame shows prompt and line at the new width, with nothing
// left over from the old rows, and the cursor where the editor's is.
TEST(WriteScreenBytes, RedrawsALineForANewWidth) {
    const std::string t40 = long_text(40);
    const struct {
        const char* what;
        int new_columns;
        std::vector<int> keys; // before the resize
        std::size_t cursor;    // after three Backspaces, '<', 14 x Left and '>'
    } cases[] = {
        {"narrowed, cursor at the end", 12, {}, 25},
        {"narrowed, cursor at the start", 12, {KEY_HOME}, 1},
        {"narrowed, cursor in the second row", 12, join({{KEY_HOME}, times(KEY_RIGHT, 17)}), 2},
        {"widened, cursor in the middle", 50, times(KEY_LEFT, 10), 15},
        {"to a width the line fills exactly", 23, {}, 25},
    };
    for (const auto& c : cases) {
        reset_screen(COLUMNS, ROWS);
        ScreenWriter writer;
        write_screen_bytes(writer, "first\r\n" + PROMPT);
        LineEditor editor;
        EditView view;
        view.width = COLUMNS;
        set_lead(view, PROMPT, false);
        for (int key : keys_of(t40)) {
            apply_key(editor, key);
        }
        write_screen_bytes(writer, render_frame(editor, view));
        for (int key : c.keys) {
            apply_key(editor, key);
            write_screen_bytes(writer, render_frame(editor, view));
        }
        rewrap_screen(c.new_columns, 1, 3);
        view.width = c.new_columns;
        write_screen_bytes(writer, redraw_frame(editor, view, REDRAW_AFTER_RESIZE));
        // Editing goes on at the new width.
        for (int key : join({times('\b', 3), {'<'}, times(KEY_LEFT, 14), {'>'}})) {
            apply_key(editor, key);
            write_screen_bytes(writer, render_frame(editor, view));
        }

        std::vector<std::string> expected = {"first"};
        const std::string line = PROMPT + editor.text;
        const auto width = static_cast<std::size_t>(c.new_columns);
        for (std::size_t at = 0; at < line.size(); at += width) {
            expected.push_back(line.substr(at, width));
        }
        expected.resize(ROWS);
        EXPECT_EQ(shown_rows(), expected) << c.what;
        const std::size_t at = PROMPT.size() + editor.cursor;
        EXPECT_EQ(editor.cursor, c.cursor) << c.what;
        EXPECT_EQ(screen.column, static_cast<int>(at % width)) << c.what;
        EXPECT_EQ(screen.row, static_cast<int>(1 + at / width)) << c.what;
    }
}

TEST(WriteScreenBytes, ClearsTheWindowAndGoesToItsTopForCtrlL) {
    reset_screen(COLUMNS, ROWS);
    ScreenWriter writer;
    write_screen_bytes(writer, "first\r\nsecond\r\n" + PROMPT);
    LineEditor editor;
    EditView view;
    view.width = COLUMNS;
    set_lead(view, PROMPT, false);
    for (int key : keys_of("Hawk")) {
        apply_key(editor, key);
    }
    apply_key(editor, KEY_LEFT);
    write_screen_bytes(writer, render_frame(editor, view));
    write_screen_bytes(writer, redraw_frame(editor, view, REDRAW_AT_TOP));
    std::vector<std::string> expected = {PROMPT + "Hawk"};
    expected.resize(ROWS);
    EXPECT_EQ(shown_rows(), expected);
    EXPECT_EQ(screen.row, 0);
    EXPECT_EQ(screen.column, static_cast<int>(PROMPT.size()) + 3);
}

TEST(WriteScreenBytes, IgnoresSequencesItDoesNotKnow) {
    reset_screen(COLUMNS, ROWS);
    ScreenWriter writer;
    write_screen_bytes(writer, "ab\x1b[1mcd\x1b(Be\x1b[");
    EXPECT_EQ(shown_rows()[0], "abcd(Be");
}

} // namespace
} // namespace morv
