// Windows console input events: keys become bytes, a new buffer size a
// redraw, and nothing else counts.
#include "console_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace morv {
namespace {

constexpr unsigned MOUSE_EVENT_TYPE = 0x0002;
constexpr unsigned MENU_EVENT_TYPE = 0x0008;
constexpr unsigned FOCUS_EVENT_TYPE = 0x0010;

ConsoleKeyEvent key_down(char character) {
    ConsoleKeyEvent key;
    key.virtual_key = static_cast<unsigned char>(character);
    key.character = static_cast<unsigned char>(character);
    return key;
}

ConsoleKeyEvent key_up(char character) {
    ConsoleKeyEvent key = key_down(character);
    key.key_down = false;
    return key;
}

TEST(TakeConsoleEvent, ABufferSizeEventAsksForARedrawAndTypesNothing) {
    const struct {
        const char* what;
        std::vector<std::pair<unsigned, ConsoleKeyEvent>> events;
        std::string typed;
        bool resized;
    } cases[] = {
        {"keys only",
         {{CONSOLE_KEY_EVENT, key_down('a')}, {CONSOLE_KEY_EVENT, key_up('a')}},
         "a",
         false},
        {"a resize between keys",
         {{CONSOLE_KEY_EVENT, key_down('a')},
          {CONSOLE_BUFFER_SIZE_EVENT, {}},
          {CONSOLE_KEY_EVENT, key_down('b')}},
         "ab",
         true},
        {"a resize alone", {{CONSOLE_BUFFER_SIZE_EVENT, {}}}, "", true},
        {"a size event's leftover key fields are no key",
         {{CONSOLE_BUFFER_SIZE_EVENT, key_down('x')}},
         "",
         true},
        {"mouse, menu and focus events are nothing",
         {{MOUSE_EVENT_TYPE, key_down('m')},
          {MENU_EVENT_TYPE, key_down('n')},
          {FOCUS_EVENT_TYPE, key_down('f')}},
         "",
         false},
    };
    for (const auto& c : cases) {
        ConsoleInput input;
        for (const auto& [type, key] : c.events) {
            take_console_event(input, type, key);
        }
        EXPECT_EQ(input.typed, c.typed) << c.what;
        EXPECT_EQ(input.resized, c.resized) << c.what;
    }
}

// Runs a script on one ConsoleInput: a letter is that key pressed, "#" a
// size event, "?" a read, whose result is noted: the bytes read, "woken"
// for a read that a size event ended with no key, "waits" for one that must
// wait for further events.
std::vector<std::string> reads_of(const std::string& script) {
    ConsoleInput input;
    std::vector<std::string> reads;
    for (char step : script) {
        if (step == '#') {
            take_console_event(input, CONSOLE_BUFFER_SIZE_EVENT, {});
        } else if (step != '?') {
            take_console_event(input, CONSOLE_KEY_EVENT, key_down(step));
        } else {
            char buffer[8];
            const int count = read_console_input(input, buffer, sizeof buffer);
            reads.push_back(count == CONSOLE_NOTHING_YET ? "waits"
                            : count == 0                 ? "woken"
                                         : std::string(buffer, static_cast<std::size_t>(count)));
        }
    }
    return reads;
}

TEST(ReadConsoleInput, ASizeEventWakesOneReadAndLosesNoKey) {
    const struct {
        const char* what;
        const char* script;
        std::vector<std::string> reads;
    } cases[] = {
        {"a key wait after a size event sees the next key",
         "#???a?",
         {"woken", "waits", "waits", "a"}},
        {"two size events wake one read", "##??", {"woken", "waits"}},
        {"keys with a size event are read at once", "a#b?", {"ab"}},
        {"a size event after the keys read wakes no read", "a?#b?", {"a", "b"}},
        {"nothing typed, nothing to read", "?", {"waits"}},
        {"keys beyond the buffer wait for the next read", "abcdefghij??", {"abcdefgh", "ij"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reads_of(c.script), c.reads) << c.what;
    }
}

} // namespace
} // namespace morv
