// The emulator command line for any segments: split by the C runtime's rules
// it gives back the configuration options and one -c option per non-empty
// trimmed segment, in order, for every segment that holds no quote or zero
// byte and does not end in a backslash. (The segments are passed unescaped,
// so a quote inside one, or a backslash just before the closing quote, is
// read by the runtime as an escape; such segments are left out here.)
#include "command_line.h"
#include "fuzz_support.h"
#include "instance_launch.h"

#include <vector>

using morv_fuzz::require;

namespace {

bool splits_back(const std::string& segment) {
    return segment.find('"') == std::string::npos && segment.find('\0') == std::string::npos &&
           (segment.empty() || segment.back() != '\\');
}

} // namespace

// LF separates the segments of the input.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> segments =
        morv_fuzz::pieces(morv_fuzz::as_text(data, size), '\n');
    std::vector<std::string> expected = {"dosbox.exe", "-conf", "dosbox.conf"};
    for (const std::string& segment : segments) {
        const std::string command = morv_fuzz::trimmed(segment);
        if (!splits_back(command)) {
            return 0;
        }
        if (!command.empty()) {
            expected.push_back("-c");
            expected.push_back(command);
        }
    }
    require(morv::split_command_line(morv::compose_command_line(segments)) == expected,
            "the composed line splits back into its segments");
    return 0;
}
