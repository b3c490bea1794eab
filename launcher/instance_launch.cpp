// One emulator per instance value: the command line, its start and the pause.
#include "instance_launch.h"

#include "console.h"
#include "launch_commands.h"
#include "platform_process.h"
#include "text.h"

namespace morv {

std::vector<std::string> split_segments(const std::string& value) {
    // One pass: each piece is cut out once, so a value with very many "&"
    // costs no more than its length.
    std::size_t mark = value.find('&');
    if (mark == std::string::npos) {
        return {value};
    }
    std::vector<std::string> segments;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = mark == std::string::npos ? value.size() : mark;
        segments.push_back(trim_spaces(value.substr(start, end - start)));
        if (mark == std::string::npos) {
            return segments;
        }
        start = mark + 1;
        mark = value.find('&', start);
    }
}

std::string refused_segment(const std::string& value) {
    for (const std::string& segment : split_segments(value)) {
        if (!segment.empty() && !is_launch_command(segment)) {
            return segment;
        }
    }
    return {};
}

std::string compose_command_line(const std::vector<std::string>& segments) {
    std::string command_line = "dosbox.exe -conf dosbox.conf";
    for (const std::string& segment : segments) {
        const std::string command = trim_spaces(segment);
        if (command.empty()) {
            continue;
        }
        // The C runtime reads backslashes before a quote as escapes: doubled,
        // they stay themselves and the quote still closes the argument.
        const std::size_t kept = command.find_last_not_of('\\') + 1;
        command_line += " -c \"" + command + command.substr(kept) + "\"";
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
