// --help and --version: one line or the usage text, then the end, with no
// key wait, so that scripts and package tools can ask them.
#include "standard_options.h"

#include "console.h"
#include "platform.h"
#include "version.h"

namespace morv {

std::string standard_option_answer(const std::string& program, const std::string& usage,
                                   const std::string& first_argument, const std::string& line_end) {
    std::string lines;
    if (first_argument == "--version") {
        lines = program + " " + VERSION_TEXT + "\n";
    } else if (first_argument == "--help") {
        lines = usage;
    }
    std::string answer;
    for (const char byte : lines) {
        if (byte == '\n') {
            answer += line_end;
        } else {
            answer += byte;
        }
    }
    return answer;
}

void answer_standard_option(const std::string& program, const std::string& usage) {
    const std::string answer =
        standard_option_answer(program, usage, program_argument(1), platform_text_line_end());
    if (!answer.empty()) {
        platform_write_console(answer);
        end_program(0);
    }
}

} // namespace morv
