// Windows console key events turned into the bytes an xterm sends for the
// same keys, so that one key decoder serves both platforms. The event is kept
// in plain terms here (the Windows values of virtual key codes and modifier
// bits, the character in UTF-16), so the translation is tested on every
// platform; the console's code page comes in as a function.
#pragma once

#include <string>

namespace morv {

// Virtual key codes as Windows numbers them.
inline constexpr unsigned KEY_CODE_BACK = 0x08;
inline constexpr unsigned KEY_CODE_TAB = 0x09;
inline constexpr unsigned KEY_CODE_CLEAR = 0x0C; // numpad 5 without Num Lock
inline constexpr unsigned KEY_CODE_RETURN = 0x0D;
inline constexpr unsigned KEY_CODE_MENU = 0x12; // Alt
inline constexpr unsigned KEY_CODE_ESCAPE = 0x1B;
inline constexpr unsigned KEY_CODE_PRIOR = 0x21; // Page Up
inline constexpr unsigned KEY_CODE_NEXT = 0x22;  // Page Down
inline constexpr unsigned KEY_CODE_END = 0x23;
inline constexpr unsigned KEY_CODE_HOME = 0x24;
inline constexpr unsigned KEY_CODE_LEFT = 0x25;
inline constexpr unsigned KEY_CODE_UP = 0x26;
inline constexpr unsigned KEY_CODE_RIGHT = 0x27;
inline constexpr unsigned KEY_CODE_DOWN = 0x28;
inline constexpr unsigned KEY_CODE_INSERT = 0x2D;
inline constexpr unsigned KEY_CODE_DELETE = 0x2E;
inline constexpr unsigned KEY_CODE_A = 0x41; // the letters follow in order
inline constexpr unsigned KEY_CODE_Z = 0x5A;
inline constexpr unsigned KEY_CODE_NUMPAD0 = 0x60;
inline constexpr unsigned KEY_CODE_NUMPAD9 = 0x69;
inline constexpr unsigned KEY_CODE_F1 = 0x70;
inline constexpr unsigned KEY_CODE_F12 = 0x7B;

// Modifier bits of the event's control key state.
inline constexpr unsigned long KEY_STATE_RIGHT_ALT = 0x0001;
inline constexpr unsigned long KEY_STATE_LEFT_ALT = 0x0002;
inline constexpr unsigned long KEY_STATE_RIGHT_CTRL = 0x0004;
inline constexpr unsigned long KEY_STATE_LEFT_CTRL = 0x0008;
inline constexpr unsigned long KEY_STATE_SHIFT = 0x0010;
// Set for the separate arrow and editing keys, not for the numpad's.
inline constexpr unsigned long KEY_STATE_ENHANCED = 0x0100;

struct ConsoleKeyEvent {
    bool key_down = true;
    unsigned repeat = 1; // 0 counts as 1
    unsigned virtual_key = 0;
    char16_t character = 0; // a UTF-16 unit, half of a surrogate pair maybe; 0 when none
    unsigned long control_state = 0;
};

// The bytes of a character in the code page the console shows and names
// text in; empty when that page has no such character.
using CharacterBytes = std::string (*)(char32_t character);

// What the translation keeps from one event to the next: a character beyond
// UTF-16's first plane comes as two key events, one per half.
struct ConsoleKeyTranslation {
    CharacterBytes character_bytes = nullptr; // none: ASCII only, the same in every page
    char16_t high_surrogate = 0;              // the first half, until the second comes
};

// The bytes of the event, its repeats included; empty for events that are no
// key (a release, a lone Shift, Ctrl, Alt or lock key, a digit of an Alt code,
// the first half of a character) and for a character the code page lacks.
std::string console_key_bytes(ConsoleKeyTranslation& translation, const ConsoleKeyEvent& event);

} // namespace morv
