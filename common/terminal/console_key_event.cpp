// Key events of a Windows console as xterm bytes.
#include "console_key_event.h"

#include <algorithm>
#include <iterator>

namespace morv {
namespace {

struct KeyBytes {
    unsigned virtual_key;
    const char* bytes;
};

// A console reports Esc as a key event of its own and Alt as a flag of an
// event, so a lone ESC byte, which a terminal sends, would join the next key
// typed into one Alt key. Esc goes to the decoder as the CSI form some
// terminals send when asked to report every key without doubt; no timing
// applies to it.
constexpr char ESC_KEY[] = "\x1b[27u";

// Keys matched by their virtual key code: the editing keys, and keys that
// bring no character (or, like Esc, sometimes character 0) but are keys.
constexpr KeyBytes SPECIAL_KEYS[] = {
    {KEY_CODE_ESCAPE, ESC_KEY},    {KEY_CODE_RETURN, "\r"},       {KEY_CODE_BACK, "\b"},
    {KEY_CODE_LEFT, "\x1b[D"},     {KEY_CODE_RIGHT, "\x1b[C"},    {KEY_CODE_UP, "\x1b[A"},
    {KEY_CODE_DOWN, "\x1b[B"},     {KEY_CODE_HOME, "\x1b[H"},     {KEY_CODE_END, "\x1b[F"},
    {KEY_CODE_DELETE, "\x1b[3~"},  {KEY_CODE_INSERT, "\x1b[2~"},  {KEY_CODE_PRIOR, "\x1b[5~"},
    {KEY_CODE_NEXT, "\x1b[6~"},    {KEY_CODE_F1, "\x1bOP"},       {KEY_CODE_F1 + 1, "\x1bOQ"},
    {KEY_CODE_F1 + 2, "\x1bOR"},   {KEY_CODE_F1 + 3, "\x1bOS"},   {KEY_CODE_F1 + 4, "\x1b[15~"},
    {KEY_CODE_F1 + 5, "\x1b[17~"}, {KEY_CODE_F1 + 6, "\x1b[18~"}, {KEY_CODE_F1 + 7, "\x1b[19~"},
    {KEY_CODE_F1 + 8, "\x1b[20~"}, {KEY_CODE_F1 + 9, "\x1b[21~"}, {KEY_CODE_F1 + 10, "\x1b[23~"},
    {KEY_CODE_F12, "\x1b[24~"},
};

bool alt_held(const ConsoleKeyEvent& event) {
    return (event.control_state & (KEY_STATE_LEFT_ALT | KEY_STATE_RIGHT_ALT)) != 0;
}

bool ctrl_held(const ConsoleKeyEvent& event) {
    return (event.control_state & (KEY_STATE_LEFT_CTRL | KEY_STATE_RIGHT_CTRL)) != 0;
}

bool alt_without_ctrl(const ConsoleKeyEvent& event) {
    return alt_held(event) && !ctrl_held(event);
}

// Ctrl with a letter is that letter's control character, as a terminal sends
// it, also from an event that brings no character with it.
std::string control_letter_bytes(const ConsoleKeyEvent& event) {
    const unsigned key = event.virtual_key;
    if (!ctrl_held(event) || alt_held(event) || key < KEY_CODE_A || key > KEY_CODE_Z) {
        return {};
    }
    return std::string(1, static_cast<char>(key - KEY_CODE_A + 1));
}

// The bytes of one press, without modifiers and repeats.
std::string press_bytes(const ConsoleKeyEvent& event) {
    // Ctrl+Enter brings an LF, and wine's console reports the LF of a
    // terminal's CR LF so: it stays an LF, which the decoder joins to a CR
    // right before it.
    if (event.virtual_key == KEY_CODE_RETURN && event.character == '\n') {
        return "\n";
    }
    for (const KeyBytes& key : SPECIAL_KEYS) {
        if (key.virtual_key == event.virtual_key) {
            return key.bytes;
        }
    }
    // Ctrl+[ types the Esc character, and is Esc as on a terminal.
    if (event.character == KEY_CODE_ESCAPE) {
        return ESC_KEY;
    }
    // Shift, Ctrl, Alt and the lock keys bring no character and are no key.
    return event.character != 0 ? std::string(1, event.character) : control_letter_bytes(event);
}

// Digits typed on the numpad while Alt is held make up one character, which
// comes with the release of Alt; without Num Lock the same keys report
// themselves as arrows and editing keys, but not as the separate ones.
bool alt_code_digit(const ConsoleKeyEvent& event) {
    if (!alt_without_ctrl(event)) {
        return false;
    }
    const unsigned key = event.virtual_key;
    if (key >= KEY_CODE_NUMPAD0 && key <= KEY_CODE_NUMPAD9) {
        return true;
    }
    const bool numpad_navigation = key == KEY_CODE_CLEAR || key == KEY_CODE_INSERT ||
                                   (key >= KEY_CODE_PRIOR && key <= KEY_CODE_DOWN);
    return numpad_navigation && (event.control_state & KEY_STATE_ENHANCED) == 0;
}

bool is_special_key(unsigned virtual_key) {
    return std::any_of(
        std::begin(SPECIAL_KEYS), std::end(SPECIAL_KEYS),
        [virtual_key](const KeyBytes& key) { return key.virtual_key == virtual_key; });
}

// An xterm sends a one-byte key pressed with Alt as ESC and that byte. AltGr,
// which types characters on many keyboards, reports Ctrl with Alt and stays
// the character; Esc, Enter and Backspace type none, so with Alt they are
// Alt keys whatever Ctrl does (wine reports a terminal's Alt+Backspace with
// Ctrl).
std::string with_alt(const ConsoleKeyEvent& event, const std::string& bytes) {
    const bool alt_key =
        alt_held(event) && (!ctrl_held(event) || is_special_key(event.virtual_key));
    const bool one_key = bytes.size() == 1 || bytes == ESC_KEY;
    return alt_key && one_key ? "\x1b" + bytes : bytes;
}

} // namespace

std::string console_key_bytes(const ConsoleKeyEvent& event) {
    if (!event.key_down) {
        // A character typed as Alt + numpad digits arrives with the release
        // of Alt.
        const bool alt_code = event.virtual_key == KEY_CODE_MENU && event.character != 0;
        return alt_code ? std::string(1, event.character) : std::string();
    }
    if (alt_code_digit(event)) {
        return {};
    }
    const std::string one = with_alt(event, press_bytes(event));
    std::string bytes;
    for (unsigned k = 0; k < std::max(1u, event.repeat); ++k) {
        bytes += one;
    }
    return bytes;
}

} // namespace morv
