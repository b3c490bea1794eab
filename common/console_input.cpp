// The input events of a Windows console in plain terms.
#include "console_input.h"

namespace morv {

void take_console_event(ConsoleInput& input, unsigned event_type, const ConsoleKeyEvent& key) {
    if (event_type == CONSOLE_KEY_EVENT) {
        input.typed += console_key_bytes(key);
    } else if (event_type == CONSOLE_BUFFER_SIZE_EVENT) {
        input.resized = true;
    }
}

} // namespace morv
