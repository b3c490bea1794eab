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
        {"\x1bx", KEY_IGNORED, 2},
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
        {"control bytes ignored", {'a', 14, 16, 31, 'b'}, "ab"},
        {"high bytes insert", {0xe4, 0xff}, "\xe4\xff"},
        {"arrows up down ignored", {'a', KEY_UP, KEY_DOWN, KEY_IGNORED, 'b'}, "ab"},
        {"line feed ends", {'a', '\n', 'b'}, "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit(c.keys), c.text) << c.name;
    }
}

constexpr int CTRL_A = 1, CTRL_B = 2, CTRL_D = 4, CTRL_E = 5, CTRL_F = 6, CTRL_H = 8, CTRL_K = 11,
              CTRL_L = 12, CTRL_U = 21, CTRL_W = 23;

// Keys typed after "typed"; the text, and "|" where the cursor ends.
std::string edit_after(const std::string& typed, const std::vector<int>& keys) {
    LineEditor editor;
    for (char c : typed) {
        apply_key(editor, static_cast<unsigned char>(c));
    }
    for (int key : keys) {
        EXPECT_EQ(apply_key(editor, key), EDIT_GOES_ON) << key;
    }
    return editor.text.substr(0, editor.cursor) + "|" + editor.text.substr(editor.cursor);
}

TEST(ApplyKey, KnowsTheControlKeysOfAShell) {
    const struct {
        const char* name;
        std::string typed;
        std::vector<int> keys;
        std::string result;
    } cases[] = {
        {"Ctrl+A to the start", "abc", {CTRL_A, 'x'}, "x|abc"},
        {"Ctrl+E to the end", "abc", {CTRL_A, CTRL_E, 'x'}, "abcx|"},
        {"Ctrl+B one left", "abc", {CTRL_B, 'x'}, "abx|c"},
        {"Ctrl+B stops at the start", "a", {CTRL_B, CTRL_B, 'x'}, "x|a"},
        {"Ctrl+F one right", "abc", {CTRL_A, CTRL_F, 'x'}, "ax|bc"},
        {"Ctrl+F stops at the end", "a", {CTRL_F, 'x'}, "ax|"},
        {"Ctrl+D deletes under the cursor", "abc", {CTRL_A, CTRL_D}, "|bc"},
        {"Ctrl+D at the end does nothing", "abc", {CTRL_D}, "abc|"},
        {"Ctrl+D on an empty line does nothing", "", {CTRL_D, CTRL_D}, "|"},
        {"Ctrl+H deletes before the cursor", "abc", {CTRL_B, CTRL_H}, "a|c"},
        {"Ctrl+U deletes from the start to the cursor",
         "junk Viper",
         {CTRL_B, CTRL_B, CTRL_U},
         "|er"},
        {"Ctrl+U at the start does nothing", "abc", {CTRL_A, CTRL_U}, "|abc"},
        {"Ctrl+K deletes from the cursor to the end",
         "ViperZZZ",
         {CTRL_B, CTRL_B, CTRL_B, CTRL_K},
         "Viper|"},
        {"Ctrl+K at the end does nothing", "abc", {CTRL_K}, "abc|"},
        {"Ctrl+W deletes the word before the cursor", "the Hawk Great", {CTRL_W}, "the Hawk |"},
        {"Ctrl+W takes the blanks before the cursor along", "the Hawk  ", {CTRL_W}, "the |"},
        {"Ctrl+W twice", "the Hawk Great", {CTRL_W, CTRL_W}, "the |"},
        {"Ctrl+W in the middle of a word", "Hawk Great", {CTRL_B, CTRL_B, CTRL_W}, "Hawk |at"},
        {"Ctrl+W keeps the text after the cursor", "a bc d", {CTRL_B, CTRL_B, CTRL_W}, "a | d"},
        {"Ctrl+W of a line of blanks", "   ", {CTRL_W}, "|"},
        {"Ctrl+W at the start does nothing", "ab", {CTRL_A, CTRL_W}, "|ab"},
        {"Ctrl+W keeps a tab's blanks apart from the word", "a\tb", {CTRL_W, CTRL_W}, "|"},
        {"Ctrl+L is left to the console", "abc", {CTRL_L}, "abc|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edit_after(c.typed, c.keys), c.result) << c.name;
    }
}

TEST(ApplyKey, ControlKeysNeverSplitAUtf8Character) {
    LineEditor editor;
    editor.utf8 = true;
    for (char c : std::string("\xc3\xa9t\xc3\xa9 \xe2\x82\xac\xe2\x82\xac")) {
        apply_key(editor, static_cast<unsigned char>(c));
    }
    apply_key(editor, CTRL_B);
    apply_key(editor, CTRL_K);
    EXPECT_EQ(editor.text, "\xc3\xa9t\xc3\xa9 \xe2\x82\xac");
    apply_key(editor, CTRL_W);
    EXPECT_EQ(editor.text, "\xc3\xa9t\xc3\xa9 ");
    apply_key(editor, CTRL_A);
    apply_key(editor, CTRL_D);
    EXPECT_EQ(editor.text, "t\xc3\xa9 ");
    apply_key(editor, CTRL_F);
    apply_key(editor, CTRL_U);
    EXPECT_EQ(editor.text, "\xc3\xa9 ");
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

#define MAN_ZWJ_WOMAN "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9"
#define FLAG_JP "\xf0\x9f\x87\xaf\xf0\x9f\x87\xb5"
#define THUMB_TONE "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd"
#define HANGUL_LVT "\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8"

// Steps go by grapheme cluster.
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
        {"left over a ZWJ sequence",
         "B" MAN_ZWJ_WOMAN "C",
         {KEY_LEFT, KEY_LEFT, 'y'},
         "By" MAN_ZWJ_WOMAN "C"},
        {"backspace of a flag", "A" FLAG_JP FLAG_JP, {127}, "A" FLAG_JP},
        {"delete of a thumb with its skin tone", THUMB_TONE "C", {KEY_HOME, KEY_DELETE}, "C"},
        {"right over an e with its accent", "e\xcc\x81", {KEY_HOME, KEY_RIGHT, 'x'}, "e\xcc\x81x"},
        {"backspace of a Hangul L V T", "a" HANGUL_LVT, {127}, "a"},
        {"ctrl+W of emoji and a combined blank", "a " MAN_ZWJ_WOMAN " \xcc\x81", {23}, "a "},
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
