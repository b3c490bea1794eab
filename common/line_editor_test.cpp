#include "key_decoder.h"
#include "line_editor.h"
#include "line_frame.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(DecodeKey, ReadsTheXtermForms) {
    const struct {
        std::string bytes;
        int key;
        std::size_t consumed;
    } cases[] = {
        {"a", 'a', 1},
        {"\xe9", 0xe9, 1},
        {"\x7f", 127, 1},
        {"\x1b[D", KEY_LEFT, 3},
        {"\x1b[C", KEY_RIGHT, 3},
        {"\x1b[H", KEY_HOME, 3},
        {"\x1b[F", KEY_END, 3},
        {"\x1bOH", KEY_HOME, 3},
        {"\x1bOF", KEY_END, 3},
        {"\x1bOD", KEY_LEFT, 3},
        {"\x1b[1~", KEY_HOME, 4},
        {"\x1b[7~", KEY_HOME, 4},
        {"\x1b[4~", KEY_END, 4},
        {"\x1b[8~", KEY_END, 4},
        {"\x1b[3~", KEY_DELETE, 4},
        {"\x1b[3;5~", KEY_DELETE, 6},
        {"\x1b[1;5C", KEY_RIGHT, 6},
        {"\x1b[2~", KEY_IGNORED, 4},
        {"\x1b[15~x", KEY_IGNORED, 5},
        {"\x1bx", KEY_ESCAPE, 1},
    };
    for (const auto& c : cases) {
        const DecodedKey decoded = decode_key(c.bytes, true);
        EXPECT_EQ(decoded.key, c.key) << c.bytes.substr(1);
        EXPECT_EQ(decoded.consumed, c.consumed) << c.bytes.substr(1);
    }
}

TEST(DecodeKey, WaitsForTheRestOfASequenceOnlyWhileMoreMayCome) {
    EXPECT_EQ(decode_key("\x1b", true).consumed, 0u);
    EXPECT_EQ(decode_key("\x1b[", true).consumed, 0u);
    EXPECT_EQ(decode_key("\x1b[3", true).consumed, 0u);
    EXPECT_EQ(decode_key("\x1b", false).key, KEY_ESCAPE);
    EXPECT_EQ(decode_key("\x1b[3", false).key, KEY_IGNORED);
    EXPECT_EQ(decode_key("\x1b[3", false).consumed, 3u);
}

std::string edit(const std::vector<int>& keys) {
    LineEditor editor;
    for (int key : keys) {
        if (apply_key(editor, key) == EDIT_ENTERED) {
            break;
        }
    }
    return editor.text;
}

TEST(ApplyKey, EditsInInsertMode) {
    const struct {
        const char* name;
        std::vector<int> keys;
        std::string text;
    } cases[] = {
        {"typing", {'a', 'b', 'c', '\r'}, "abc"},
        {"left then insert", {'a', 'c', KEY_LEFT, 'b', '\r'}, "abc"},
        {"home then insert", {'b', 'c', KEY_HOME, 'a'}, "abc"},
        {"end after home", {'a', KEY_HOME, KEY_END, 'b'}, "ab"},
        {"backspace", {'a', 'b', 'x', 127, 'c'}, "abc"},
        {"ctrl-h backspace", {'a', 'x', 8}, "a"},
        {"backspace at start", {'a', KEY_HOME, 127}, "a"},
        {"delete under cursor", {'a', 'x', 'b', KEY_LEFT, KEY_LEFT, KEY_DELETE}, "ab"},
        {"delete at end", {'a', KEY_DELETE}, "a"},
        {"escape empties", {'a', 'b', KEY_ESCAPE, 'c'}, "c"},
        {"tab to stop 8", {'a', 'b', '\t', 'c'}, "ab      c"},
        {"tab at stop", {'1', '2', '3', '4', '5', '6', '7', '8', '\t', 'x'}, "12345678        x"},
        {"right stops at end", {'a', KEY_HOME, KEY_RIGHT, KEY_RIGHT, 'b'}, "ab"},
        {"left stops at start", {'b', KEY_LEFT, KEY_LEFT, 'a'}, "ab"},
        {"control bytes ignored", {'a', 1, 2, 'b'}, "ab"},
        {"high bytes insert", {0xe4, 0xff}, "\xe4\xff"},
        {"arrows up down ignored", {'a', KEY_UP, KEY_DOWN, KEY_IGNORED, 'b'}, "ab"},
        {"line feed ends", {'a', '\n', 'b'}, "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit(c.keys), c.text) << c.name;
    }
}

std::string edit_utf8(const std::string& typed, const std::vector<int>& keys) {
    LineEditor editor;
    editor.utf8 = true;
    for (char c : typed) {
        apply_key(editor, static_cast<unsigned char>(c));
    }
    for (int key : keys) {
        apply_key(editor, key);
    }
    return editor.text;
}

TEST(ApplyKey, NeverSplitsAUtf8CharacterOnAUtf8Terminal) {
    const struct {
        const char* name;
        std::string typed;
        std::vector<int> keys;
        std::string text;
    } cases[] = {
        {"backspace", "n\xc3\xa9", {127}, "n"},
        {"backspace of a 3-byte character", "a\xe2\x82\xac", {127}, "a"},
        {"left over a character",
         "\xc3\xa9"
         "b",
         {KEY_LEFT, KEY_LEFT, 'x'},
         "x\xc3\xa9"
         "b"},
        {"delete under the cursor",
         "\xc3\xa9"
         "b",
         {KEY_HOME, KEY_DELETE},
         "b"},
        {"right over a character",
         "\xc3\xa9"
         "b",
         {KEY_HOME, KEY_RIGHT, 'x'},
         "\xc3\xa9"
         "xb"},
        {"tab counts characters", "\xc3\xa9", {'\t', 'x'}, "\xc3\xa9       x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit_utf8(c.typed, c.keys), c.text) << c.name;
    }
}

TEST(ApplyKey, TreatsEveryByteAsACharacterInACodePage) {
    EXPECT_EQ(edit_utf8("", {}), "");
    LineEditor editor;
    apply_key(editor, 0xc3);
    apply_key(editor, 0xa9);
    apply_key(editor, 127);
    EXPECT_EQ(editor.text, "\xc3");
}

TEST(RenderFrame, CountsAUtf8CharacterAsOneColumn) {
    LineEditor editor;
    editor.utf8 = true;
    EditView view;
    view.start_column = 0;
    view.width = 10;
    for (int i = 0; i < 12; ++i) {
        apply_key(editor, 0xc3);
        apply_key(editor, 0xa9);
    }
    render_frame(editor, view);
    EXPECT_EQ(view.shown_length, 12u);
    apply_key(editor, KEY_HOME);
    EXPECT_EQ(render_frame(editor, view), "\x1b[1A\r");
    apply_key(editor, KEY_RIGHT);
    EXPECT_EQ(render_frame(editor, view), "\r\x1b[1C");
}

TEST(RenderFrame, TypingAtTheEndWritesOnlyTheNewBytes) {
    LineEditor editor;
    EditView view;
    view.start_column = 5;
    view.width = 80;
    apply_key(editor, 'a');
    EXPECT_EQ(render_frame(editor, view), "a");
    apply_key(editor, 'b');
    apply_key(editor, 'c');
    EXPECT_EQ(render_frame(editor, view), "bc");
}

TEST(RenderFrame, MovesAcrossWrappedRowsByRelativeSteps) {
    LineEditor editor;
    EditView view;
    view.start_column = 5;
    view.width = 10;
    for (int i = 0; i < 25; ++i) {
        apply_key(editor, 'x');
    }
    // 5 + 25 ends exactly on a row edge: a blank wraps the row, CR goes back.
    EXPECT_EQ(render_frame(editor, view), std::string(25, 'x') + " \r");
    apply_key(editor, KEY_HOME);
    EXPECT_EQ(render_frame(editor, view), "\x1b[3A\r\x1b[5C");
    apply_key(editor, 'y');
    // Rewrites from the insertion on, then goes back to just after the 'y'.
    EXPECT_EQ(render_frame(editor, view), "y" + std::string(25, 'x') + "\x1b[3A\r\x1b[6C");
}

TEST(RenderFrame, ClearsWhatAShorterLineLeftBehind) {
    LineEditor editor;
    EditView view;
    view.start_column = 0;
    view.width = 10;
    for (int i = 0; i < 12; ++i) {
        apply_key(editor, 'x');
    }
    render_frame(editor, view);
    apply_key(editor, KEY_ESCAPE);
    EXPECT_EQ(render_frame(editor, view), "\x1b[1A\r\x1b[J");
    EXPECT_EQ(view.shown_length, 0u);
}

} // namespace
} // namespace morv
