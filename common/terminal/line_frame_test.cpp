// Frames of the typed line: by display width, drawn again after a resize, a
// suspension and Ctrl+L, finished so that no empty row follows, and without
// any control sequence on a dumb terminal.
#include "key_decoder.h"
#include "line_frame.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace morv {
namespace {

const std::string NAME = "Name: ";
const std::string WIDE_DAY = "\xe6\x97\xa5";  // two columns
const std::string WIDE_BOOK = "\xe6\x9c\xac"; // two columns
const std::string WIDE_WORD = "\xe8\xaa\x9e"; // two columns

struct Terminal {
    LineEditor editor;
    EditView view;
    std::string output;
};

Terminal terminal(const std::string& lead, int width, bool moves_cursor = true, bool utf8 = false) {
    Terminal t;
    t.editor.utf8 = utf8;
    t.view.width = width;
    t.view.moves_cursor = moves_cursor;
    set_lead(t.view, lead, utf8);
    return t;
}

// Applies each key and draws a frame after it, as keys come one by one.
std::string type(Terminal& t, const std::vector<int>& keys) {
    std::string frames;
    for (int key : keys) {
        apply_key(t.editor, key);
        if (!t.view.moves_cursor) {
            t.editor.cursor = t.editor.text.size();
        }
        frames += render_frame(t.editor, t.view);
    }
    return frames;
}

std::vector<int> keys_of(const std::string& text) {
    std::vector<int> keys;
    for (char c : text) {
        keys.push_back(static_cast<unsigned char>(c));
    }
    return keys;
}

// Frames go on laying out from where the last one ended; after any edit the
// cursor must stand where a layout of the whole line from its start puts it.
TEST(RenderFrame, KeepsTheCursorWhereAFullLayoutPutsIt) {
    const std::vector<std::string> pieces = {"a", "b", " ", WIDE_DAY, WIDE_BOOK, "e\xcc\x81"};
    const std::vector<int> moves = {KEY_LEFT, KEY_RIGHT, KEY_HOME, KEY_END, 8, KEY_DELETE};
    std::mt19937 draw(7);
    for (const int width : {5, 7, 80}) {
        Terminal t = terminal(NAME, width, true, true);
        for (int step = 0; step < 3000; ++step) {
            if (draw() % 3 == 0) {
                apply_key(t.editor, moves[draw() % moves.size()]);
            } else {
                for (const int byte : keys_of(pieces[draw() % pieces.size()])) {
                    apply_key(t.editor, byte);
                }
            }
            // Keys may come faster than frames, and a redraw may follow them.
            const unsigned frame = draw() % 8;
            if (frame == 0) {
                continue;
            }
            if (frame == 1) {
                redraw_frame(t.editor, t.view, REDRAW_ON_FRESH_ROW);
            } else {
                render_frame(t.editor, t.view);
            }
            LineEditor fresh_editor = t.editor;
            EditView fresh = t.view;
            fresh.mark = LayoutMark{};
            redraw_frame(fresh_editor, fresh, REDRAW_ON_FRESH_ROW);
            ASSERT_EQ(t.view.shown_cursor, fresh.shown_cursor)
                << "width " << width << ", step " << step << ", cursor " << t.editor.cursor;
            ASSERT_EQ(t.view.shown_length, fresh.shown_length)
                << "width " << width << ", step " << step;
        }
    }
}

TEST(RenderFrame, GoesByDisplayWidth) {
    Terminal t = terminal("", 80, true, true);
    type(t, keys_of(WIDE_DAY + WIDE_BOOK + WIDE_WORD));
    EXPECT_EQ(type(t, {KEY_LEFT}), "\r\x1b[4C");
    EXPECT_EQ(type(t, {'X'}), "X" + WIDE_WORD + "\r\x1b[5C");
    EXPECT_EQ(t.view.shown_length, 7u);
    // A combining mark takes no column and goes with its character, which is
    // written again with it.
    type(t, {KEY_END});
    EXPECT_EQ(type(t, keys_of("e\xcc\x81")), "e\r\x1b[7Ce\xcc\x81");
    EXPECT_EQ(type(t, {KEY_LEFT}), "\r\x1b[7C");
    EXPECT_EQ(type(t, {KEY_RIGHT}), "\r\x1b[8C");
}

TEST(RenderFrame, StartsAWideCharacterThatWouldStraddleTheEdgeOnTheNextRow) {
    Terminal t = terminal("123456789", 10, true, true);
    // A blank fills the last column, so nothing shown before stays there.
    EXPECT_EQ(type(t, keys_of(WIDE_DAY)), " " + WIDE_DAY);
    EXPECT_EQ(t.view.shown_length, 3u);
    EXPECT_EQ(type(t, {KEY_HOME}), "\x1b[1A\r\x1b[9C");
    // Now the first character fills the last column and the wide one fits
    // the next row from its start.
    EXPECT_EQ(type(t, {'a'}), "a" + WIDE_DAY + "\r");
    EXPECT_EQ(t.view.shown_length, 3u);
}

// A cluster a terminal draws as several characters wraps as they do, each
// wide one that does not fit in the row's last column on the next row.
TEST(RenderFrame, WrapsEachCharacterOfAClusterAsTheTerminalDraws) {
    const std::string thumb = "\xf0\x9f\x91\x8d", tone = "\xf0\x9f\x8f\xbd";
    const struct {
        const char* what;
        std::string lead;
        std::string text;
        std::string shown; // after the prompt, from a redraw
        std::size_t cells;
    } cases[] = {
        {"skin tone, 3 columns left", "1234567", thumb + tone, thumb + " " + tone, 5},
        {"skin tone, 1 column left", "123456789", thumb + tone, " " + thumb + tone, 5},
        {"flag, 1 column left", "123456789", "\xf0\x9f\x87\xaf\xf0\x9f\x87\xb5", "", 2},
        {"Bengali ka with aa, 1 column left", "123456789", "\xe0\xa6\x95\xe0\xa6\xbe", "", 2},
    };
    for (const auto& c : cases) {
        Terminal t = terminal(c.lead, 10, true, true);
        type(t, keys_of(c.text));
        EXPECT_EQ(t.view.shown_length, c.cells) << c.what;
        const std::string shown = c.shown.empty() ? c.text : c.shown;
        EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_AT_TOP),
                  "\x1b[H" + c.lead + shown + "\x1b[J")
            << c.what;
    }
}

// A line typed in full at one width, the cursor moved, then the terminal
// rewraps to another width: the frame goes up to the prompt's first row as
// the rewrapped rows stand, clears and draws prompt and line again.
TEST(RedrawFrame, StartsAtThePromptsRowAfterAResize) {
    const std::string x30(30, 'x');
    const struct {
        const char* what;
        int old_width;
        int new_width;
        std::vector<int> keys;
        std::string frame;
    } cases[] = {
        {"narrowed, cursor at the end", 20, 10, {}, "\x1b[3A\rName: " + x30 + "\x1b[J"},
        {"narrowed, cursor at the start",
         20,
         10,
         {KEY_HOME},
         "\rName: " + x30 + "\x1b[J\x1b[3A\r\x1b[6C"},
        {"narrowed, cursor in the middle",
         20,
         10,
         {KEY_HOME, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT, KEY_RIGHT},
         "\x1b[1A\rName: " + x30 + "\x1b[J\x1b[2A\r\x1b[1C"},
        {"widened, cursor at the end", 20, 80, {}, "\rName: " + x30 + "\x1b[J"},
        {"to a width the line fills exactly", 40, 18, {}, "\x1b[2A\rName: " + x30 + " \r\x1b[J"},
    };
    for (const auto& c : cases) {
        Terminal t = terminal(NAME, c.old_width);
        type(t, keys_of(x30));
        type(t, c.keys);
        t.view.width = c.new_width;
        EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_AFTER_RESIZE), c.frame) << c.what;
        EXPECT_EQ(t.view.shown_length, 30u) << c.what;
        // The next frame knows where it stands: End goes to the line's end.
        type(t, {KEY_END});
        EXPECT_EQ(t.view.shown_cursor, 30u) << c.what;
    }
}

// 46 cells on a screen of 3 rows of 10: the first rows have scrolled off.
TEST(RenderFrame, ShowsTheRowsAroundTheCursorOfALineTallerThanTheScreen) {
    Terminal t = terminal(NAME, 10);
    t.view.rows = 3;
    const std::string x40(40, 'x');
    type(t, keys_of(x40));
    EXPECT_EQ(t.view.top_row, 2u);
    const struct {
        int key;
        std::string frame;
        std::size_t top_row;
    } steps[] = {
        {KEY_HOME, "\x1b[3A\rName: " + x40.substr(0, 24) + "\x1b[2A\r\x1b[6C", 0},
        {'y', "\x1b[3A\rName: y" + x40.substr(0, 23) + "\x1b[2A\r\x1b[7C", 0},
        {KEY_END, "\x1b[3A\r" + x40.substr(0, 27) + "\x1b[J", 2},
        {KEY_ESCAPE, "\x1b[3A\rName: \x1b[J", 0},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(type(t, {step.key}), step.frame) << step.key;
        EXPECT_EQ(t.view.top_row, step.top_row) << step.key;
    }
}

TEST(RedrawFrame, AfterASuspensionAndOnCtrlL) {
    Terminal t = terminal(NAME, 20);
    type(t, keys_of("Hawk"));
    type(t, {KEY_LEFT});
    EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_ON_FRESH_ROW), "\rName: Hawk\x1b[J\r\x1b[9C");
    EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_AT_TOP), "\x1b[HName: Hawk\x1b[J\r\x1b[9C");
    // Keys typed since the last frame are in the redraw.
    apply_key(t.editor, 'e');
    EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_AT_TOP), "\x1b[HName: Hawek\x1b[J\r\x1b[10C");
    EXPECT_EQ(type(t, {KEY_END}), "\r\x1b[11C");
}

TEST(FinishFrame, LeavesTheCursorWhereCrLfStartsTheNextRow) {
    const struct {
        const char* what;
        std::string lead;
        std::vector<int> keys;
        std::string start;  // before the first key
        std::string finish; // after Enter
    } cases[] = {
        {"a short line", NAME, keys_of("abc"), "", ""},
        {"a line that fills its row", NAME, keys_of("abcdefghijklmn"), "",
         "\x1b[1A\r\x1b[19C\x1b[Jn"},
        {"cursor elsewhere in a line that fills its row",
         NAME,
         {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm', 'n', KEY_HOME},
         "",
         "\x1b[1A\r\x1b[19C\x1b[Jn"},
        {"a line that fills two rows", NAME, keys_of(std::string(34, 'q')), "",
         "\x1b[1A\r\x1b[19C\x1b[Jq"},
        {"a prompt that fills its row",
         "Twenty characters: ?",
         {},
         " \r",
         "\x1b[1A\r\x1b[19C\x1b[J?"},
        {"a prompt that fills its row, a key typed and erased",
         "Twenty characters: ?",
         {'a', 127},
         " \r",
         "\x1b[1A\r\x1b[19C\x1b[J?"},
    };
    for (const auto& c : cases) {
        Terminal t = terminal(c.lead, 20);
        EXPECT_EQ(start_frame(t.view), c.start) << c.what;
        type(t, c.keys);
        const std::string finish = finish_frame(t.editor, t.view);
        EXPECT_EQ(finish.substr(finish.size() - std::min(finish.size(), c.finish.size())), c.finish)
            << c.what;
        EXPECT_EQ(finish.empty(), c.finish.empty()) << c.what;
    }
}

// On a terminal without control sequences the caller keeps the cursor at
// the end; frames only append, erase at the end within a row, or show the
// line afresh on a new row.
TEST(RenderFrame, UsesNoControlSequenceOnADumbTerminal) {
    const struct {
        const char* what;
        std::string typed;
        std::vector<int> keys;
        bool utf8;
        std::string frames; // of the keys after the typed text
    } cases[] = {
        {"typing appends", "", keys_of("abc"), false, "abc"},
        {"backspace erases at the end", "abc", {127, 127}, false, "\b \b\b \b"},
        {"moving keys do nothing", "abc", {KEY_LEFT, KEY_HOME, 'd'}, false, "d"},
        {"delete does nothing at the end", "abc", {KEY_HOME, KEY_DELETE}, false, ""},
        {"tab appends blanks", "ab", {'\t'}, false, "      "},
        {"a wide character erases two columns", WIDE_DAY, {127}, true, "\b\b  \b\b"},
        {"a character and its mark erase together", "ae\xcc\x81", {127}, true, "\b \b"},
        {"Esc over two rows shows the line afresh",
         std::string(20, 'z'),
         {KEY_ESCAPE},
         false,
         "\r\nName: "},
        {"backspace at a full row shows it afresh",
         std::string(14, 'z'),
         {127},
         false,
         "\r\nName: " + std::string(13, 'z')},
        {"backspace back onto a row edge shows it afresh",
         std::string(15, 'z'),
         {127},
         false,
         "\r\nName: " + std::string(14, 'z')},
        {"backspace on the second row erases there", std::string(16, 'z'), {127}, false, "\b \b"},
    };
    for (const auto& c : cases) {
        Terminal t = terminal(NAME, 20, false, c.utf8);
        type(t, keys_of(c.typed));
        EXPECT_EQ(type(t, c.keys), c.frames) << c.what;
        EXPECT_EQ(t.editor.cursor, t.editor.text.size()) << c.what;
        EXPECT_EQ(t.view.shown, t.editor.text) << c.what;
    }
}

TEST(RedrawFrame, UsesNoControlSequenceOnADumbTerminal) {
    Terminal t = terminal(NAME, 20, false);
    type(t, keys_of("Hawk"));
    t.view.width = 10;
    EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_AFTER_RESIZE), "");
    EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_ON_FRESH_ROW), "\rName: Hawk");
    EXPECT_EQ(redraw_frame(t.editor, t.view, REDRAW_AT_TOP), "\r\nName: Hawk");
    EXPECT_EQ(finish_frame(t.editor, t.view), "");
}

} // namespace
} // namespace morv
