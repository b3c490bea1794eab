// Windows-style command-line splitting. Any line: without a quote the
// arguments are just the words between blanks and tabs. Any list of
// arguments: quoted the way the C runtime expects, it splits back into itself.
#include "command_line.h"
#include "fuzz_support.h"

#include <vector>

using morv_fuzz::require;

namespace {

using Arguments = std::vector<std::string>;

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Without quotes: the program name runs to the first blank or tab, and the
// words behind it are the arguments.
Arguments words(const std::string& line) {
    Arguments result(1);
    std::size_t i = 0;
    for (; i < line.size() && !is_blank(line[i]); ++i) {
        result[0] += line[i];
    }
    bool in_word = false;
    for (; i < line.size(); ++i) {
        if (is_blank(line[i])) {
            in_word = false;
            continue;
        }
        if (!in_word) {
            result.emplace_back();
            in_word = true;
        }
        result.back() += line[i];
    }
    return result;
}

// Quotes one argument for the C runtime: backslashes are doubled where a
// quote follows them, and quotes are escaped.
std::string quoted(const std::string& argument) {
    std::string result = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        result.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        result += c;
    }
    result.append(backslashes * 2, '\\');
    return result + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = morv_fuzz::as_text(data, size);
    const std::string line = input.substr(0, input.find('\0'));
    const Arguments split = morv::split_command_line(input);
    require(!split.empty(), "a line always names a program");
    if (line.find('"') == std::string::npos) {
        require(split == words(line), "without quotes the arguments are the words");
    }

    // The zero bytes of the input separate the arguments of the second check.
    Arguments arguments = morv_fuzz::pieces(input, '\0');
    arguments.insert(arguments.begin(), "program.exe");
    std::string composed = arguments[0];
    for (std::size_t k = 1; k < arguments.size(); ++k) {
        composed += " " + quoted(arguments[k]);
    }
    require(morv::split_command_line(composed) == arguments,
            "quoted arguments split back into themselves");
    return 0;
}
