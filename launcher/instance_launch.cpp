// One emulator per instance value: the command line, its start and the pause.
#include "instance_launch.h"

#include "console.h"
#include "platform.h"
#include "text.h"

namespace morv {

std::vector<std::string> split_segments(const std::string& value) {
    std::vector<std::string> segments{value};
    std::string remainder = value;
    for (;;) {
        const std::int64_t mark = find_first(remainder, "&");
        if (mark == 0) {
            break;
        }
        segments.back() = trim_spaces(left_part(remainder, mark - 1));
        segments.emplace_back();
        remainder = trim_spaces(mid_part(remainder, mark + 1));
    }
    segments.back() = remainder;
    return segments;
}

std::string compose_command_line(const std::vector<std::string>& segments) {
    std::string command_line = "dosbox.exe -conf dosbox.conf";
    for (const std::string& segment : segments) {
        const std::string command = trim_spaces(segment);
        if (!command.empty()) {
            command_line += " -c \"" + command + "\"";
        }
    }
    return command_line;
}

void launch_command(const std::string& command_line) {
    if (platform_start_process(command_line) != 0) {
        print_text("Failed to launch: " + command_line, true);
    }
}

void launch_instance(const std::string& value) {
    const std::string command_line = compose_command_line(split_segments(value));
    print_text("Launching: " + command_line, true);
    launch_command(command_line);
    pause_ms(LAUNCH_PAUSE_MS);
}

} // namespace morv
