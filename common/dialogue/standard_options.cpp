// --help and --version in the GNU form: the version and its licence, or the
// usage text and where bugs go, then the end, with no key wait, so that
// scripts and package tools can ask them.
#include "standard_options.h"

#include "console.h"
#include "platform_console.h"
#include "version.h"

namespace morv {

namespace {

constexpr char LICENCE_LINES[] =
    "Copyright (c) 2026 the morv developers\n"
    "License MIT: <https://opensource.org/license/mit>\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

constexpr char BUG_REPORT_LINES[] = "\n"
                                    "morv has no home page or bug tracker yet: report bugs to\n"
                                    "whoever gave you this copy.\n";

} // namespace

std::string requested_standard_option(const std::string& first_argument,
                                      const std::string& second_argument,
                                      const std::string& help_switch) {
    if (first_argument == "--help" || first_argument == "--version") {
        return first_argument;
    }
    const bool short_help =
        first_argument == "-h" || (!help_switch.empty() && first_argument == help_switch);
    return short_help && second_argument.empty() ? "--help" : "";
}

std::string standard_option_answer(const std::string& program, const std::string& usage,
                                   const std::string& first_argument, const std::string& line_end) {
    std::string lines;
    if (first_argument == "--version") {
        lines = program + " (" + PACKAGE_TEXT + ") " + VERSION_TEXT + "\n" + LICENCE_LINES;
    } else if (first_argument == "--help") {
        lines = usage + BUG_REPORT_LINES;
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
    const std::string option =
        requested_standard_option(program_argument(1), program_argument(2), platform_help_switch());
    const std::string answer =
        standard_option_answer(program, usage, option, platform_text_line_end());
    if (!answer.empty()) {
        platform_write_console(answer);
        end_program(0);
    }
}

} // namespace morv
