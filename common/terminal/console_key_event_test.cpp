#include "console_key_event.h"
#include "key_decoder.h"
#include "line_editor.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace morv {
namespace {

ConsoleKeyEvent press(unsigned virtual_key, char16_t character = 0, unsigned long state = 0) {
    ConsoleKeyEvent event;
    event.virtual_key = virtual_key;
    event.character = character;
    event.control_state = state;
    return event;
}

ConsoleKeyEvent release(ConsoleKeyEvent event) {
    event.key_down = false;
    return event;
}

ConsoleKeyEvent repeated(ConsoleKeyEvent event, unsigned count) {
    event.repeat = count;
    return event;
}

constexpr int WAITS_FOR_MORE = -1;

// Code page 437's bytes for the letters the rows type, and UTF-8's.
std::string oem_us(char32_t c) {
    return c == U'\u00e9' ? "\x82" : c == U'\u00fc' ? "\x81" : c == U'\u00df' ? "\xe1" : "";
}

std::string utf8(char32_t c) {
    return c == U'\u00e9' ? "\xc3\xa9" : c == U'\U0001F600' ? "\xf0\x9f\x98\x80" : "";
}

// What the line editor gets from the events: their bytes, decoded as the
// console decodes what it has read. No key of a console may wait for bytes
// to come: WAITS_FOR_MORE ends the keys where one would.
std::vector<int> keys_of(const std::vector<ConsoleKeyEvent>& events,
                         CharacterBytes code_page = oem_us) {
    ConsoleKeyTranslation translation{code_page};
    std::string bytes;
    for (const ConsoleKeyEvent& event : events) {
        bytes += console_key_bytes(translation, event);
    }
    std::vector<int> keys;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const DecodedKey decoded = decode_key(rest, true);
        keys.push_back(decoded.consumed == 0 ? WAITS_FOR_MORE : decoded.key);
        if (decoded.consumed == 0) {
            break;
        }
        rest.remove_prefix(decoded.consumed);
    }
    return keys;
}

constexpr unsigned KEY_CODE_SHIFT = 0x10;
constexpr unsigned KEY_CODE_CONTROL = 0x11;
constexpr unsigned KEY_CODE_CAPITAL = 0x14;
constexpr unsigned KEY_CODE_Q = 0x51;
constexpr unsigned long NUM_LOCK_ON = 0x0020;
constexpr unsigned long ALT_GR = KEY_STATE_RIGHT_ALT | KEY_STATE_LEFT_CTRL;
constexpr unsigned long ALT_SHIFT = KEY_STATE_LEFT_ALT | KEY_STATE_SHIFT;

TEST(ConsoleKeyBytes, GiveTheLineEditorTheKeysThatWerePressed) {
    const struct {
        const char* what;
        std::vector<ConsoleKeyEvent> events;
        std::vector<int> keys;
        CharacterBytes code_page = oem_us;
    } cases[] = {
        {"a letter, pressed and released",
         {press(KEY_CODE_A, 'a'), release(press(KEY_CODE_A, 'a'))},
         {'a'}},
        {"Esc that brings character 0", {press(KEY_CODE_ESCAPE)}, {KEY_ESCAPE}},
        {"Esc that brings its character", {press(KEY_CODE_ESCAPE, 27)}, {KEY_ESCAPE}},
        {"Esc and a letter at once: both keys, no Alt key",
         {press(KEY_CODE_ESCAPE, 27), press('H', 'H')},
         {KEY_ESCAPE, 'H'}},
        {"Esc, Esc and a letter at once",
         {press(KEY_CODE_ESCAPE), press(KEY_CODE_ESCAPE, 27), press('H', 'H')},
         {KEY_ESCAPE, KEY_ESCAPE, 'H'}},
        {"Esc and then the characters of an arrow's sequence",
         {press(KEY_CODE_ESCAPE, 27), press(0xDB, '['), press('A', 'A')},
         {KEY_ESCAPE, '[', 'A'}},
        {"Ctrl+[ is Esc",
         {press(0xDB, 27, KEY_STATE_LEFT_CTRL), press('H', 'h')},
         {KEY_ESCAPE, 'h'}},
        {"a held Esc repeats", {repeated(press(KEY_CODE_ESCAPE, 27), 2)}, {KEY_ESCAPE, KEY_ESCAPE}},
        {"the editing keys, matched by key code whatever character they bring",
         {press(KEY_CODE_LEFT, 'x'), press(KEY_CODE_RIGHT), press(KEY_CODE_HOME),
          press(KEY_CODE_END), press(KEY_CODE_DELETE, 127), press(KEY_CODE_UP),
          press(KEY_CODE_DOWN)},
         {KEY_LEFT, KEY_RIGHT, KEY_HOME, KEY_END, KEY_DELETE, KEY_UP, KEY_DOWN}},
        {"the numpad's editing keys without Num Lock",
         {press(KEY_CODE_HOME), press(KEY_CODE_LEFT)},
         {KEY_HOME, KEY_LEFT}},
        {"Enter and Backspace as the line editor knows them",
         {press(KEY_CODE_RETURN, '\r'), press(KEY_CODE_BACK, '\b')},
         {'\r', '\b'}},
        {"Ctrl+H is Backspace's character", {press('H', '\b', KEY_STATE_LEFT_CTRL)}, {'\b'}},
        {"lone Shift, Ctrl, Alt and Caps Lock are no keys",
         {press(KEY_CODE_SHIFT), press(KEY_CODE_CONTROL, 0, KEY_STATE_LEFT_CTRL),
          press(KEY_CODE_MENU, 0, KEY_STATE_LEFT_ALT), press(KEY_CODE_CAPITAL),
          release(press(KEY_CODE_SHIFT))},
         {}},
        {"a held key repeats", {repeated(press(KEY_CODE_Q, 'q'), 3)}, {'q', 'q', 'q'}},
        {"a held arrow repeats", {repeated(press(KEY_CODE_LEFT), 2)}, {KEY_LEFT, KEY_LEFT}},
        {"a repeat count of 0 is one press", {repeated(press(KEY_CODE_Q, 'q'), 0)}, {'q'}},
        {"function keys and Insert are keys the editor ignores",
         {press(KEY_CODE_F1), press(KEY_CODE_F1 + 4), press(KEY_CODE_F12), press(KEY_CODE_INSERT),
          press(KEY_CODE_PRIOR), press(KEY_CODE_NEXT)},
         {KEY_IGNORED, KEY_IGNORED, KEY_IGNORED, KEY_IGNORED, KEY_IGNORED, KEY_IGNORED}},
        {"a letter of the upper half, in the output code page", {press(0xDE, u'\u00e9')}, {0x82}},
        {"the same in UTF-8", {press(0xDE, u'\u00e9')}, {0xc3, 0xa9}, utf8},
        {"a letter the code page lacks types nothing",
         {press(0, u'\u20ac'), press(0, u'a')},
         {'a'}},
        {"a pair of surrogates in two events",
         {press(0, 0xD83D), press(0, 0xDE00)},
         {0xf0, 0x9f, 0x98, 0x80},
         utf8},
        {"halves without the other type nothing",
         {press(0, 0xDE00), press(0, 0xD83D), press(KEY_CODE_A, 'a')},
         {'a'},
         utf8},
        {"AltGr types its character", {press(0x51, '@', ALT_GR)}, {'@'}},
        {"AltGr types its letter of the upper half", {press(0xBA, u'\u00fc', ALT_GR)}, {0x81}},
        {"Alt+[ then b: no sequence",
         {press(0xDB, '[', KEY_STATE_LEFT_ALT), press('B', 'b')},
         {KEY_IGNORED, 'b'}},
        {"Alt+Shift+O then D: no arrow",
         {press('O', 'O', ALT_SHIFT), press('D', 'D')},
         {KEY_IGNORED, 'D'}},
        {"Alt+Shift+O then Enter",
         {press('O', 'O', ALT_SHIFT), press(KEY_CODE_RETURN, '\r')},
         {KEY_IGNORED, '\r'}},
        {"Alt+\u00df then \u00fc\u00e9, bytes that UTF-8 would join",
         {press(0xDB, u'\u00df', KEY_STATE_LEFT_ALT), press(0xBA, u'\u00fc'),
          press(0xDE, u'\u00e9')},
         {KEY_IGNORED, 0x81, 0x82}},
        {"Shift+Tab, ignored as on a terminal",
         {press(KEY_CODE_TAB, '\t', KEY_STATE_SHIFT), press(KEY_CODE_TAB, '\t')},
         {KEY_IGNORED, '\t'}},
        {"Alt with a letter comes as an xterm sends it, one key to ignore",
         {press(KEY_CODE_A, 'a', KEY_STATE_LEFT_ALT)},
         {KEY_IGNORED}},
        {"Alt with Enter, Backspace or Esc: a key to ignore each",
         {press(KEY_CODE_RETURN, '\r', KEY_STATE_LEFT_ALT),
          press(KEY_CODE_BACK, '\b', KEY_STATE_RIGHT_ALT),
          press(KEY_CODE_ESCAPE, 27, KEY_STATE_LEFT_ALT)},
         {KEY_IGNORED, KEY_IGNORED, KEY_IGNORED}},
        {"Alt with Ctrl and Backspace, as wine reports a terminal's Alt+Backspace",
         {press(KEY_CODE_BACK, 127, KEY_STATE_LEFT_ALT | KEY_STATE_LEFT_CTRL)},
         {KEY_IGNORED}},
        {"Ctrl+Alt with Enter is a key to ignore",
         {press(KEY_CODE_RETURN, '\r', ALT_GR)},
         {KEY_IGNORED}},
        {"Ctrl+Enter is an LF", {press(KEY_CODE_RETURN, '\n', KEY_STATE_LEFT_CTRL)}, {'\n'}},
        {"an LF right after Enter is part of it, as wine reports a terminal's CR LF",
         {press(KEY_CODE_RETURN, '\r'), press(KEY_CODE_RETURN, '\n', KEY_STATE_LEFT_CTRL),
          press(KEY_CODE_RETURN, '\r')},
         {'\r', '\r'}},
        {"a held Alt with a letter repeats as keys to ignore",
         {repeated(press(KEY_CODE_Q, 'q', KEY_STATE_LEFT_ALT), 2), press(KEY_CODE_Q, 'q')},
         {KEY_IGNORED, KEY_IGNORED, 'q'}},
        {"Alt with an arrow stays the arrow",
         {press(KEY_CODE_LEFT, 0, KEY_STATE_LEFT_ALT | KEY_STATE_ENHANCED)},
         {KEY_LEFT}},
        {"Alt + numpad 2 3 3 with Num Lock: one character, with the release of Alt",
         {press(KEY_CODE_MENU, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          press(KEY_CODE_NUMPAD0 + 2, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          press(KEY_CODE_NUMPAD0 + 3, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          press(KEY_CODE_NUMPAD0 + 3, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          release(press(KEY_CODE_MENU, u'\u00e9', NUM_LOCK_ON))},
         {0x82}},
        {"Alt + numpad 6 5 without Num Lock: no arrows on the way",
         {press(KEY_CODE_RIGHT, 0, KEY_STATE_LEFT_ALT),
          press(KEY_CODE_CLEAR, 0, KEY_STATE_LEFT_ALT), release(press(KEY_CODE_MENU, 'A'))},
         {'A'}},
        {"releasing Alt alone is no key", {release(press(KEY_CODE_MENU))}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keys_of(c.events, c.code_page), c.keys) << c.what;
    }
}

ConsoleKeyEvent ctrl(char letter, char16_t character, unsigned long state = KEY_STATE_LEFT_CTRL) {
    return press(static_cast<unsigned>(letter), character, state);
}

TEST(ConsoleKeyBytes, GiveCtrlWithALetterAsATerminalSendsIt) {
    const struct {
        const char* what;
        ConsoleKeyEvent event;
        std::string bytes;
    } cases[] = {
        {"Ctrl+A", ctrl('A', 1), "\x01"},
        {"Ctrl+E", ctrl('E', 5), "\x05"},
        {"Ctrl+B", ctrl('B', 2), "\x02"},
        {"Ctrl+F", ctrl('F', 6), "\x06"},
        {"Ctrl+D", ctrl('D', 4), "\x04"},
        {"Ctrl+H", ctrl('H', 8), "\x08"},
        {"Ctrl+U", ctrl('U', 21), "\x15"},
        {"Ctrl+K", ctrl('K', 11), "\x0b"},
        {"Ctrl+W", ctrl('W', 23), "\x17"},
        {"Ctrl+L", ctrl('L', 12), "\x0c"},
        {"right Ctrl", ctrl('A', 1, KEY_STATE_RIGHT_CTRL), "\x01"},
        {"Ctrl+U with no character in the event", ctrl('U', 0), "\x15"},
        {"Ctrl+W with no character in the event", ctrl('W', 0, KEY_STATE_RIGHT_CTRL), "\x17"},
        {"a letter without Ctrl and with no character is no key", ctrl('U', 0, 0), ""},
        {"Ctrl+Alt with a letter and no character is no key", ctrl('U', 0, ALT_GR), ""},
        {"Ctrl with a digit and no character is no key", ctrl('2', 0), ""},
        {"a held Ctrl+B repeats", repeated(ctrl('B', 2), 3), "\x02\x02\x02"},
    };
    for (const auto& c : cases) {
        ConsoleKeyTranslation translation;
        EXPECT_EQ(console_key_bytes(translation, c.event), c.bytes) << c.what;
    }
}

// Keys as a Windows console reports them, through the decoder and the line
// editor, as the console hands them on.
std::string edited(const std::vector<ConsoleKeyEvent>& events) {
    LineEditor editor;
    for (int key : keys_of(events)) {
        apply_key(editor, key);
    }
    return editor.text.substr(0, editor.cursor) + "|" + editor.text.substr(editor.cursor);
}

std::vector<ConsoleKeyEvent> typed(const std::string& text) {
    std::vector<ConsoleKeyEvent> events;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        events.push_back(press(static_cast<unsigned>(std::toupper(byte)), byte));
    }
    return events;
}

std::vector<ConsoleKeyEvent> operator+(std::vector<ConsoleKeyEvent> a,
                                       const std::vector<ConsoleKeyEvent>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ConsoleKeyBytes, EditWithCtrlAndAltAsATerminalDoes) {
    const ConsoleKeyEvent alt_b = press('B', 'b', KEY_STATE_LEFT_ALT);
    const ConsoleKeyEvent alt_enter = press(KEY_CODE_RETURN, '\r', KEY_STATE_LEFT_ALT);
    const ConsoleKeyEvent alt_backspace = press(KEY_CODE_BACK, '\b', KEY_STATE_LEFT_ALT);
    const struct {
        const char* what;
        std::vector<ConsoleKeyEvent> events;
        std::string result;
    } cases[] = {
        {"Ctrl+A, Ctrl+E",
         typed("bc") + std::vector{ctrl('A', 1)} + typed("a") + std::vector{ctrl('E', 5)} +
             typed("d"),
         "abcd|"},
        {"Ctrl+B, Ctrl+F, Ctrl+D",
         typed("abc") + std::vector{ctrl('B', 2), ctrl('B', 2), ctrl('D', 4), ctrl('F', 6)}, "ac|"},
        {"Ctrl+U, Ctrl+K",
         typed("junk Viper") + std::vector{ctrl('A', 1), ctrl('F', 6), ctrl('K', 11)}, "j|"},
        {"Ctrl+U", typed("junk Viper") + std::vector{ctrl('B', 2), ctrl('U', 21)}, "|r"},
        {"Ctrl+W", typed("the hawk") + std::vector{ctrl('W', 23)}, "the |"},
        {"Esc and a name typed at once",
         typed("garbage") + std::vector{press(KEY_CODE_ESCAPE, 27)} + typed("Hawk"), "Hawk|"},
        {"Alt+Esc changes nothing",
         typed("hawk") + std::vector{press(KEY_CODE_ESCAPE, 27, KEY_STATE_LEFT_ALT)} + typed("s"),
         "hawks|"},
        {"Alt+B, Alt+Backspace, Alt+Enter change nothing",
         typed("hawk") + std::vector{alt_b, alt_backspace, alt_enter}, "hawk|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(edited(c.events), c.result) << c.what;
    }
}

} // namespace
} // namespace morv
