// Windows hands a program one command line and leaves the splitting to the C
// runtime; the launcher composes its lines for that runtime, so the same rules
// are kept here for starting them on other systems.
#include "command_line.h"

namespace morv {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// A file name cannot hold a quote, so for the program name quotes only decide
// whether blanks separate; backslashes are plain folder separators.
std::size_t read_program_name(const std::string& line, std::string& name) {
    bool quoted = false;
    std::size_t i = 0;
    for (; i < line.size(); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else if (!quoted && is_blank(line[i])) {
            break;
        } else {
            name += line[i];
        }
    }
    return i;
}

// Reads one argument that starts at position i; returns the position after it.
std::size_t read_argument(const std::string& line, std::size_t i, std::string& argument) {
    bool quoted = false;
    while (i < line.size()) {
        std::size_t backslashes = 0;
        while (i < line.size() && line[i] == '\\') {
            ++backslashes;
            ++i;
        }
        if (i < line.size() && line[i] == '"') {
            // Backslashes count only as escapes of a quote: pairs give one each.
            argument.append(backslashes / 2, '\\');
            if (backslashes % 2 == 1) {
                argument += '"';
            } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                argument += '"';
                ++i;
            } else {
                quoted = !quoted;
            }
            ++i;
            continue;
        }
        argument.append(backslashes, '\\');
        if (i == line.size() || (!quoted && is_blank(line[i]))) {
            break;
        }
        argument += line[i];
        ++i;
    }
    return i;
}

} // namespace

std::vector<std::string> split_command_line(const std::string& command_line) {
    // The runtime reads a C string: a zero byte ends the line.
    const std::string line = command_line.substr(0, command_line.find('\0'));
    std::vector<std::string> arguments(1);
    std::size_t i = read_program_name(line, arguments[0]);
    for (;;) {
        while (i < line.size() && is_blank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            break;
        }
        arguments.emplace_back();
        i = read_argument(line, i, arguments.back());
    }
    return arguments;
}

} // namespace morv
