// Turns the bytes a terminal sends into keys. Windows key events are turned
// into the same bytes first, so one decoder serves both platforms.
//
// Accepted: single bytes 1..255 (a character each); ESC [ params final (CSI),
// ESC O final (SS3). Finals: A up, B down, C right, D left, H home, F end;
// "~" with parameter 1 or 7 home, 4 or 8 end, 3 delete. Anything else in
// those forms is an ignored key. ESC followed by no byte within the timeout is
// the Esc key; ESC followed by a byte that opens no sequence is Esc too, and
// the byte stays for the next key.
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

struct DecodedKey {
    int key;              // a KeyCode or a character code
    std::size_t consumed; // bytes used; 0 when more bytes are needed first
};

// Decodes the first key of bytes. With more_may_come set, an incomplete
// sequence (a lone ESC, say) asks for more bytes; without it, it is decided.
DecodedKey decode_key(std::string_view bytes, bool more_may_come);

} // namespace morv
