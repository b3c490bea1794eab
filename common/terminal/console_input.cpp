// The input events of a Windows console in plain terms.
#include "console_input.h"

#include <algorithm>

namespace morv {

void take_console_event(ConsoleInput& input, unsigned event_type, const ConsoleKeyEvent& key) {
    if (event_type == CONSOLE_KEY_EVENT) {
        input.typed += console_key_bytes(input.keys, key);
    } else if (event_type == CONSOLE_BUFFER_SIZE_EVENT) {
        input.resized = true;
        input.wakes = true;
    }
}

int read_console_input(ConsoleInput& input, char* buffer, int size) {
    const bool woken = input.wakes;
    input.wakes = false;
    if (input.typed.empty()) {
        return woken ? 0 : CONSOLE_NOTHING_YET;
    }
    const std::size_t count = std::min(input.typed.size(), static_cast<std::size_t>(size));
    input.typed.copy(buffer, count);
    input.typed.erase(0, count);
    return static_cast<int>(count);
}

} // namespace morv
