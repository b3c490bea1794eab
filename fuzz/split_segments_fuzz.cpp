// An instance value cut into DOS commands: the pieces between the "&" marks,
// each blank-trimmed, empty ones kept; a value without "&" is one piece as given.
#include "fuzz_support.h"
#include "instance_launch.h"

#include <vector>

using morv_fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string value = morv_fuzz::as_text(data, size);
    std::vector<std::string> expected = morv_fuzz::pieces(value, '&');
    if (expected.size() > 1) {
        for (std::string& piece : expected) {
            piece = morv_fuzz::trimmed(piece);
        }
    }
    require(morv::split_segments(value) == expected, "the segments are the trimmed pieces");
    return 0;
}
