// Both passes over any launch script. The first pass gives the count of the
// last line that holds "PLAYERS" and "="; the second takes from each line that
// holds "INSTANCE" and "=" the trimmed text behind the first "=", and any
// such value composes an emulator command line.
#include "fuzz_support.h"
#include "instance_launch.h"
#include "launcher_run.h"
#include "number.h"
#include "script_lines.h"
#include "text.h"

#include <vector>

using morv_fuzz::require;

namespace {

const char* const SCRIPT = "fuzz.MORV";
const std::string EMULATOR_START = "dosbox.exe -conf dosbox.conf";

bool holds(const std::string& text, const char* key) {
    return text.find(key) != std::string::npos;
}

std::string behind_first_equals(const std::string& line) {
    return morv_fuzz::trimmed(line.substr(line.find('=') + 1));
}

std::int32_t expected_count(const std::vector<std::string>& lines) {
    std::int32_t count = 0;
    for (const std::string& raw : lines) {
        const std::string line = morv_fuzz::trimmed(raw);
        if (holds(line, "PLAYERS") && holds(line, "=")) {
            count = morv::round_to_int(morv::parse_number(behind_first_equals(line)));
        }
    }
    return count;
}

void check_instance_line(const std::string& raw) {
    const std::string line = morv_fuzz::trimmed(raw);
    const std::string value = morv::instance_line_value(morv::trim_spaces(raw));
    if (!holds(line, "INSTANCE") || !holds(line, "=")) {
        require(value.empty(), "a line without INSTANCE and = starts nothing");
        return;
    }
    require(value == behind_first_equals(line), "the value is the text behind the first =");
    if (!value.empty()) {
        const std::string command_line = morv::compose_command_line(morv::split_segments(value));
        require(command_line.compare(0, EMULATOR_START.size(), EMULATOR_START) == 0,
                "every command line starts the emulator with its configuration");
        require(command_line.find('\n') == std::string::npos, "a command line is one line");
    }
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
    require(morv::read_player_count(SCRIPT, count) == 0 && count == expected_count(lines),
            "the last PLAYERS line decides the count");
    for (const std::string& line : lines) {
        check_instance_line(line);
    }
    return 0;
}
