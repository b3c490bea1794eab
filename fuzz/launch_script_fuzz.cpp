// Both passes over any launch script. The first pass gives the count of the
// last line whose text before the first "=" holds "PLAYERS", and stops at the
// first INSTANCE value with a segment that is no launch command; any value it
// accepts composes an emulator command line that gives every segment back as
// one argument of its own.
#include "command_line.h"
#include "fuzz_support.h"
#include "instance_launch.h"
#include "launch_commands.h"
#include "launcher_run.h"
#include "number.h"
#include "script_lines.h"
#include "text.h"

#include <vector>

using morv_fuzz::require;

namespace {

const char* const SCRIPT = "fuzz.MORV";

bool holds(const std::string& text, const char* key) {
    return text.find(key) != std::string::npos;
}

bool key_first(const std::string& line, const char* key) {
    const std::size_t equals = line.find('=');
    return equals != std::string::npos && holds(line.substr(0, equals), key);
}

std::string behind_first_equals(const std::string& line) {
    return morv_fuzz::trimmed(line.substr(line.find('=') + 1));
}

// The count and check result the first pass must give.
std::int32_t expected_count(const std::vector<std::string>& lines, int& result) {
    std::int32_t count = 0;
    result = morv::SCRIPT_ACCEPTED;
    for (const std::string& raw : lines) {
        const std::string line = morv_fuzz::trimmed(raw);
        if (key_first(line, "PLAYERS")) {
            count = morv::round_to_int(morv::parse_number(behind_first_equals(line)));
        }
        if (!morv::refused_segment(morv::instance_line_value(line)).empty()) {
            result = morv::SCRIPT_REFUSED;
            return count;
        }
    }
    return count;
}

void check_instance_line(const std::string& raw) {
    const std::string line = morv_fuzz::trimmed(raw);
    const std::string value = morv::instance_line_value(morv::trim_spaces(raw));
    if (!key_first(line, "INSTANCE")) {
        require(value.empty(), "a line without INSTANCE before its = starts nothing");
        return;
    }
    require(value == behind_first_equals(line), "the value is the text behind the first =");
    if (value.empty() || !morv::refused_segment(value).empty()) {
        return;
    }
    std::vector<std::string> expected = {"dosbox.exe", "-conf", "dosbox.conf"};
    for (const std::string& segment : morv::split_segments(value)) {
        if (!segment.empty()) {
            require(morv::is_launch_command(segment), "an accepted segment is a launch command");
            expected.insert(expected.end(), {"-c", segment});
        }
    }
    const std::string command_line = morv::compose_command_line(morv::split_segments(value));
    require(morv::split_command_line(command_line) == expected,
            "every accepted segment reaches the emulator as one argument, unchanged");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    morv_fuzz::enter_scratch_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string contents = morv_fuzz::as_text(data, size);
    morv_fuzz::write_bytes(SCRIPT, contents);
    const std::vector<std::string> lines = morv_fuzz::expected_lines(contents);
    std::int32_t count = -1;
    std::string refused;
    int result = 0;
    const std::int32_t expected = expected_count(lines, result);
    require(morv::read_player_count(SCRIPT, count, refused) == result && count == expected,
            "the last PLAYERS line decides the count, and a refused command ends the pass");
    for (const std::string& line : lines) {
        check_instance_line(line);
    }
    return 0;
}
