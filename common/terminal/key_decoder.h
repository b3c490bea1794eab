// Turns the bytes a terminal sends into keys. Windows key events are turned
// into the same bytes first, so one decoder serves both platforms.
//
// Accepted: single bytes 1..255 (a character each); ESC [ params final (CSI),
// ESC O final (SS3). Finals: A up, B down, C right, D left, H home, F end;
// "~" with parameter 1 or 7 home, 4 or 8 end, 3 delete; "u" with parameter
// 27 Esc, with no timing (a Windows console's Esc). Anything else in
// those forms is an ignored key, and so is ESC [ [ final (the Linux text
// console's F1 to F5). ESC followed by no byte within the timeout is the Esc
// key. ESC followed by another key's bytes is that key with Alt, one ignored
// key: ESC and a byte (a UTF-8 character's bytes together, CR with an LF
// right after it), or ESC and a whole sequence above (ESC ESC [ A, Alt+Up on
// some terminals). CR LF is one key, CR, also when the LF comes in a later
// read (see KeyDecoder).
#pragma once

#include <cstddef>
#include <string_view>

namespace morv {

enum KeyCode {
    KEY_NONE = 0,
    // 1..255: the character of that code
    KEY_ESCAPE = 27,
    KEY_LEFT = 256,
    KEY_RIGHT,
    KEY_UP,
    KEY_DOWN,
    KEY_HOME,
    KEY_END,
    KEY_DELETE,
    KEY_IGNORED,
};

// KEY_NONE with bytes consumed: bytes that make no key, a NUL byte (Ctrl+Space
// on many terminals) or the LF of a CR LF (see KeyDecoder).
struct DecodedKey {
    int key;              // a KeyCode or a character code
    std::size_t consumed; // bytes used; 0 when more bytes are needed first
};

// Decodes the first key of bytes. With more_may_come set, an incomplete
// sequence (a lone ESC, say) asks for more bytes; without it, it is decided.
DecodedKey decode_key(std::string_view bytes, bool more_may_come);

// What the decoder remembers from one read to the next: a terminal may send
// the CR of a CR LF at the end of one read and the LF at the start of the next.
struct KeyDecoder {
    bool after_carriage_return = false; // the last key ended with a CR
};

// The same, for bytes that directly follow the keys decoded before. An LF
// right after a CR is no key: KEY_NONE with 1 byte consumed.
DecodedKey decode_key(KeyDecoder& decoder, std::string_view bytes, bool more_may_come);

} // namespace morv
