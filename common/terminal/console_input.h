// The input events of a Windows console in plain terms, so that what each
// one does is tested on every platform: a key event becomes the bytes an
// xterm sends (console_key_event), a new screen buffer size asks for the
// typed line to be drawn again for the new width, and the rest (mouse,
// focus, menu) are nothing.
#pragma once

#include "console_key_event.h"

#include <string>

namespace morv {

// Event types as Windows numbers them.
inline constexpr unsigned CONSOLE_KEY_EVENT = 0x0001;
inline constexpr unsigned CONSOLE_BUFFER_SIZE_EVENT = 0x0004;

struct ConsoleInput {
    ConsoleKeyTranslation keys;
    std::string typed;    // key bytes not yet delivered
    bool resized = false; // a redraw is due; the next prompt takes it
    bool wakes = false;   // a size event that has woken no read yet
};

void take_console_event(ConsoleInput& input, unsigned event_type, const ConsoleKeyEvent& key);

// The result of a read that must wait for further events.
inline constexpr int CONSOLE_NOTHING_YET = -2;

// What a read gets of the events taken in: up to size typed bytes; else 0,
// once, after a size event, so that a waiting prompt draws its line again
// (a key wait or a pause sees no key in it); else CONSOLE_NOTHING_YET.
int read_console_input(ConsoleInput& input, char* buffer, int size);

} // namespace morv
