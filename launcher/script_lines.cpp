// How the launcher reads one line of a launch script.
#include "script_lines.h"

#include "number.h"
#include "text.h"

namespace morv {

bool contains(const std::string& text, const std::string& key) {
    return find_first(text, key) > 0;
}

bool key_before_first_equals(const std::string& line, const std::string& key) {
    const std::int64_t equals = find_first(line, "=");
    return equals > 0 && contains(left_part(line, equals - 1), key);
}

std::string text_after_first_equals(const std::string& line) {
    const std::int64_t equals = find_first(line, "=");
    return equals > 0 ? mid_part(line, equals + 1) : std::string();
}

int read_players_line(const std::string& line, std::int32_t& count) {
    if (!key_before_first_equals(line, "PLAYERS")) {
        return 1;
    }
    count = round_to_int(parse_number(trim_spaces(text_after_first_equals(line))));
    return 0;
}

std::string instance_line_value(const std::string& line) {
    if (!key_before_first_equals(line, "INSTANCE")) {
        return {};
    }
    return trim_spaces(text_after_first_equals(line));
}

} // namespace morv
