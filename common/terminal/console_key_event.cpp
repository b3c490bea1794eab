// Key events of a Windows console as xterm bytes.
#include "console_key_event.h"

#include <algorithm>
#include <iterator>
#include <string>

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

// What an xterm sends for Shift+Tab; the line editor ignores it.
constexpr char SHIFT_TAB_KEY[] = "\x1b[Z";

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

bool is_high_surrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The character an event's unit completes; 0 for a first half, which waits
// for the second, and for a half that comes without the other.
char32_t event_character(ConsoleKeyTranslation& translation, char16_t unit) {
    const char16_t high = translation.high_surrogate;
    translation.high_surrogate = is_high_surrogate(unit) ? unit : 0;
    if (is_high_surrogate(unit) || (is_low_surrogate(unit) && high == 0)) {
        return 0;
    }
    if (is_low_surrogate(unit)) {
        const auto high_bits = static_cast<char32_t>(high - 0xD800) << 10;
        return 0x10000 + high_bits + static_cast<char32_t>(unit - 0xDC00);
    }
    return unit;
}

// ASCII is the same in every console code page; other characters are looked
// up in the page, and one it lacks types nothing rather than a stand-in.
std::string character_bytes(const ConsoleKeyTranslation& translation, char32_t character) {
    if (character == 0) {
        return {};
    }
    if (character < 0x80) {
        return std::string(1, static_cast<char>(character));
    }
    return translation.character_bytes != nullptr ? translation.character_bytes(character)
                                                  : std::string();
}

// A character typed with Alt is a key to ignore. As ESC and the character's
// bytes it would join the keys after it ("[" or "O" opening a sequence, a
// byte read as a UTF-8 lead), so it goes as the sequence terminals that
// report every key send for it, which is one key whatever follows.
std::string alt_character_bytes(char32_t character) {
    return "\x1b[" + std::to_string(static_cast<unsigned long>(character)) + ";3u";
}

// The bytes of one press, without modifiers and repeats.
std::string press_bytes(ConsoleKeyTranslation& translation, const ConsoleKeyEvent& event) {
    // Ctrl+Enter brings an LF, and wine's console reports the LF of a
    // terminal's CR LF so: it stays an LF, which the decoder joins to a CR
    // right before it.
    if (event.virtual_key == KEY_CODE_RETURN && event.character == u'\n') {
        return "\n";
    }
    if (event.virtual_key == KEY_CODE_TAB && (event.control_state & KEY_STATE_SHIFT) != 0) {
        return SHIFT_TAB_KEY;
    }
    for (const KeyBytes& key : SPECIAL_KEYS) {
        if (key.virtual_key == event.virtual_key) {
            return key.bytes;
        }
    }
    // Shift, Ctrl, Alt and the lock keys bring no character and are no key.
    if (event.character == 0) {
        return control_letter_bytes(event);
    }
    const char32_t character = event_character(translation, event.character);
    // Ctrl+[ types the Esc character, and is Esc as on a terminal.
    if (character == KEY_CODE_ESCAPE) {
        return ESC_KEY;
    }
    // AltGr, which types characters on many keyboards, reports Ctrl with Alt.
    if (character != 0 && alt_without_ctrl(event)) {
        return alt_character_bytes(character);
    }
    return character_bytes(translation, character);
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

// An xterm sends a one-byte key pressed with Alt as ESC and that byte: Esc,
// Enter and Backspace type no character, so with Alt they are Alt keys
// whatever Ctrl does (wine reports a terminal's Alt+Backspace with Ctrl).
std::string with_alt(const ConsoleKeyEvent& event, const std::string& bytes) {
    const bool alt_key =
        alt_held(event) && (!ctrl_held(event) || is_special_key(event.virtual_key));
    const bool one_key = bytes.size() == 1 || bytes == ESC_KEY;
    return alt_key && one_key ? "\x1b" + bytes : bytes;
}

} // namespace

std::string console_key_bytes(ConsoleKeyTranslation& translation, const ConsoleKeyEvent& event) {
    if (!event.key_down) {
        // A character typed as Alt + numpad digits arrives with the release
        // of Alt.
        const bool alt_code = event.virtual_key == KEY_CODE_MENU && event.character != 0;
        return alt_code
                   ? character_bytes(translation, event_character(translation, event.character))
                   : std::string();
    }
    if (alt_code_digit(event)) {
        return {};
    }
    const std::string one = with_alt(event, press_bytes(translation, event));
    std::string bytes;
    for (unsigned k = 0; k < std::max(1u, event.repeat); ++k) {
        bytes += one;
    }
    return bytes;
}

} // namespace morv
