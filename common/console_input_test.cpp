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
    key.character = character;
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

} // namespace
} // namespace morv
