#include "console_key_event.h"
#include "key_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morv {
namespace {

ConsoleKeyEvent press(unsigned virtual_key, char character = 0, unsigned long state = 0) {
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

// What the line editor gets from the events: their bytes, decoded as the
// console decodes what it has read.
std::vector<int> keys_of(const std::vector<ConsoleKeyEvent>& events) {
    std::string bytes;
    for (const ConsoleKeyEvent& event : events) {
        bytes += console_key_bytes(event);
    }
    std::vector<int> keys;
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const DecodedKey decoded = decode_key(rest, false);
        keys.push_back(decoded.key);
        rest.remove_prefix(decoded.consumed);
    }
    return keys;
}

constexpr unsigned KEY_CODE_SHIFT = 0x10;
constexpr unsigned KEY_CODE_CONTROL = 0x11;
constexpr unsigned KEY_CODE_CAPITAL = 0x14;
constexpr unsigned KEY_CODE_A = 0x41;
constexpr unsigned KEY_CODE_Q = 0x51;
constexpr unsigned long NUM_LOCK_ON = 0x0020;
constexpr unsigned long ALT_GR = KEY_STATE_RIGHT_ALT | KEY_STATE_LEFT_CTRL;

TEST(ConsoleKeyBytes, GiveTheLineEditorTheKeysThatWerePressed) {
    const struct {
        const char* what;
        std::vector<ConsoleKeyEvent> events;
        std::vector<int> keys;
    } cases[] = {
        {"a letter, pressed and released",
         {press(KEY_CODE_A, 'a'), release(press(KEY_CODE_A, 'a'))},
         {'a'}},
        {"Esc that brings character 0", {press(KEY_CODE_ESCAPE)}, {KEY_ESCAPE}},
        {"Esc that brings its character", {press(KEY_CODE_ESCAPE, 27)}, {KEY_ESCAPE}},
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
        {"a character of the code page's upper half", {press(0xDE, '\xe9')}, {0xe9}},
        {"AltGr types its character", {press(0x51, '@', ALT_GR)}, {'@'}},
        {"Alt with a letter comes as an xterm sends it: Esc, then the letter",
         {press(KEY_CODE_A, 'a', KEY_STATE_LEFT_ALT)},
         {KEY_ESCAPE, 'a'}},
        {"Alt with an arrow stays the arrow",
         {press(KEY_CODE_LEFT, 0, KEY_STATE_LEFT_ALT | KEY_STATE_ENHANCED)},
         {KEY_LEFT}},
        {"Alt + numpad 2 3 3 with Num Lock: one character, with the release of Alt",
         {press(KEY_CODE_MENU, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          press(KEY_CODE_NUMPAD0 + 2, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          press(KEY_CODE_NUMPAD0 + 3, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          press(KEY_CODE_NUMPAD0 + 3, 0, KEY_STATE_LEFT_ALT | NUM_LOCK_ON),
          release(press(KEY_CODE_MENU, '\xe9', NUM_LOCK_ON))},
         {0xe9}},
        {"Alt + numpad 6 5 without Num Lock: no arrows on the way",
         {press(KEY_CODE_RIGHT, 0, KEY_STATE_LEFT_ALT),
          press(KEY_CODE_CLEAR, 0, KEY_STATE_LEFT_ALT), release(press(KEY_CODE_MENU, 'A'))},
         {'A'}},
        {"releasing Alt alone is no key", {release(press(KEY_CODE_MENU))}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(keys_of(c.events), c.keys) << c.what;
    }
}

} // namespace
} // namespace morv
