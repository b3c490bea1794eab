// Turns the bytes a terminal sends into keys.
#include "key_decoder.h"

namespace morv {
namespace {

constexpr char ESC = 27;
// A sequence longer than this is garbage; it is dropped as one ignored key.
constexpr std::size_t LONGEST_SEQUENCE = 32;

unsigned char byte_at(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

DecodedKey need_more_or(bool more_may_come, DecodedKey decided) {
    return more_may_come ? DecodedKey{KEY_NONE, 0} : decided;
}

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

// ESC [ 27 u: Esc as a Windows console reports it (console_key_event).
int csi_key(char final_byte, std::string_view parameters) {
    if (final_byte == '~') {
        return tilde_key(parameters);
    }
    if (final_byte == 'u') {
        return parameters == "27" ? KEY_ESCAPE : KEY_IGNORED;
    }
    return final_key(final_byte);
}

bool is_final_byte(unsigned char c) {
    return c >= 0x40 && c <= 0x7E;
}

// ESC [ [ A to ESC [ [ E: F1 to F5 of the Linux text console.
DecodedKey decode_linux_function_key(std::string_view bytes, bool more_may_come) {
    if (bytes.size() == 3) {
        return need_more_or(more_may_come, {KEY_IGNORED, 3});
    }
    return {KEY_IGNORED, is_final_byte(byte_at(bytes, 3)) ? 4u : 3u};
}

DecodedKey decode_csi(std::string_view bytes, bool more_may_come) {
    if (bytes.size() > 2 && bytes[2] == '[') {
        return decode_linux_function_key(bytes, more_may_come);
    }
    for (std::size_t i = 2; i < bytes.size(); ++i) {
        const unsigned char c = byte_at(bytes, i);
        if (is_final_byte(c)) {
            return {csi_key(static_cast<char>(c), bytes.substr(2, i - 2)), i + 1};
        }
        if (c < 0x20 || c > 0x3F) {
            // No byte of a sequence: the broken sequence ends before it, and
            // it stays for the next key (an Enter, say).
            return {KEY_IGNORED, i};
        }
        if (i + 1 >= LONGEST_SEQUENCE) {
            return {KEY_IGNORED, i + 1};
        }
    }
    return need_more_or(more_may_come, {KEY_IGNORED, bytes.size()});
}

// A lone ESC, or ESC opening a CSI or SS3 sequence.
DecodedKey decode_escape(std::string_view bytes, bool more_may_come) {
    if (bytes.size() == 1) {
        return need_more_or(more_may_come, {KEY_ESCAPE, 1});
    }
    if (bytes[1] == '[') {
        return decode_csi(bytes, more_may_come);
    }
    if (bytes[1] == 'O') {
        if (bytes.size() == 2) {
            return need_more_or(more_may_come, {KEY_IGNORED, 2});
        }
        return {final_key(bytes[2]), 3};
    }
    return {KEY_ESCAPE, 1};
}

// One character; a CR takes an LF right after it along, as one Enter.
DecodedKey decode_character(std::string_view bytes) {
    if (bytes[0] == '\r' && bytes.size() > 1 && bytes[1] == '\n') {
        return {'\r', 2};
    }
    return {byte_at(bytes, 0), 1};
}

// The bytes of a UTF-8 character that starts bytes; 1 for any other byte.
std::size_t utf8_length(std::string_view bytes) {
    const unsigned char lead = byte_at(bytes, 0);
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
    std::size_t length = 1;
    while (length < expected && length < bytes.size() && (byte_at(bytes, length) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// ESC sent together with the bytes of another key: that key with Alt held.
DecodedKey decode_alt(std::string_view bytes, bool more_may_come) {
    const std::string_view key = bytes.substr(1);
    std::size_t length = 0;
    if (key[0] == ESC) {
        length = decode_escape(key, more_may_come).consumed;
        if (length == 0) {
            return {KEY_NONE, 0};
        }
    } else if (key[0] == '\r') {
        length = decode_character(key).consumed;
    } else {
        length = utf8_length(key);
    }
    return {KEY_IGNORED, 1 + length};
}

} // namespace

DecodedKey decode_key(std::string_view bytes, bool more_may_come) {
    if (bytes.empty()) {
        return {KEY_NONE, 0};
    }
    if (bytes[0] != ESC) {
        return decode_character(bytes);
    }
    if (bytes.size() > 1 && bytes[1] != '[' && bytes[1] != 'O') {
        return decode_alt(bytes, more_may_come);
    }
    return decode_escape(bytes, more_may_come);
}

DecodedKey decode_key(KeyDecoder& decoder, std::string_view bytes, bool more_may_come) {
    if (decoder.after_carriage_return && !bytes.empty() && bytes[0] == '\n') {
        decoder.after_carriage_return = false;
        return {KEY_NONE, 1};
    }
    const DecodedKey decoded = decode_key(bytes, more_may_come);
    if (decoded.consumed > 0) {
        decoder.after_carriage_return = bytes[decoded.consumed - 1] == '\r';
    }
    return decoded;
}

} // namespace morv
