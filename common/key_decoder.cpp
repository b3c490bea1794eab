// Turns the bytes a terminal sends into keys.
#include "key_decoder.h"

namespace morv {
namespace {

constexpr char ESC = 27;
// A sequence longer than this is garbage; it is dropped as one ignored key.
constexpr std::size_t LONGEST_SEQUENCE = 32;

int final_key(char final_byte) {
    switch (final_byte) {
    case 'A':
        return KEY_UP;
    case 'B':
        return KEY_DOWN;
    case 'C':
        return KEY_RIGHT;
    case 'D':
        return KEY_LEFT;
    case 'H':
        return KEY_HOME;
    case 'F':
        return KEY_END;
    default:
        return KEY_IGNORED;
    }
}

int tilde_key(std::string_view parameters) {
    // Only the first parameter names the key; a modifier may follow ";".
    const std::string_view first = parameters.substr(0, parameters.find(';'));
    if (first == "1" || first == "7") {
        return KEY_HOME;
    }
    if (first == "4" || first == "8") {
        return KEY_END;
    }
    if (first == "3") {
        return KEY_DELETE;
    }
    return KEY_IGNORED;
}

DecodedKey decode_csi(std::string_view bytes, bool more_may_come) {
    for (std::size_t i = 2; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x40 && c <= 0x7E) {
            const int key =
                c == '~' ? tilde_key(bytes.substr(2, i - 2)) : final_key(static_cast<char>(c));
            return {key, i + 1};
        }
        if (c < 0x20 || c > 0x3F || i + 1 >= LONGEST_SEQUENCE) {
            return {KEY_IGNORED, i + 1};
        }
    }
    return more_may_come ? DecodedKey{KEY_NONE, 0} : DecodedKey{KEY_IGNORED, bytes.size()};
}

} // namespace

DecodedKey decode_key(std::string_view bytes, bool more_may_come) {
    if (bytes.empty()) {
        return {KEY_NONE, 0};
    }
    if (bytes[0] != ESC) {
        return {static_cast<unsigned char>(bytes[0]), 1};
    }
    if (bytes.size() == 1) {
        return more_may_come ? DecodedKey{KEY_NONE, 0} : DecodedKey{KEY_ESCAPE, 1};
    }
    if (bytes[1] == '[') {
        return decode_csi(bytes, more_may_come);
    }
    if (bytes[1] == 'O') {
        if (bytes.size() == 2) {
            return more_may_come ? DecodedKey{KEY_NONE, 0} : DecodedKey{KEY_IGNORED, 2};
        }
        return {final_key(bytes[2]), 3};
    }
    return {KEY_ESCAPE, 1};
}

} // namespace morv
