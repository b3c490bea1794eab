// What a launch script may ask of the emulator.
#include "launch_commands.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace morv {

namespace {

bool is_control(char byte) {
    const auto value = static_cast<unsigned char>(byte);
    return value < 0x20 || value == 0x7F;
}

char lower_ascii(char byte) {
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// The words between runs of blanks, in lower case.
std::vector<std::string> lower_words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char byte : text + ' ') {
        if (byte != ' ') {
            word += lower_ascii(byte);
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    return words;
}

bool is_host_word(const std::string& word) {
    for (const char byte : word) {
        const bool letter = (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9');
        if (!letter && byte != '.' && byte != '-' && byte != ':') {
            return false;
        }
    }
    return !word.empty();
}

} // namespace

bool fits_launch_script(const std::string& text) {
    for (const char byte : text) {
        if (is_control(byte) || byte == '&' || byte == '"' || byte == '<' || byte == '>' ||
            byte == '|') {
            return false;
        }
    }
    return true;
}

bool is_launch_command(const std::string& segment) {
    // No form holds one of these, and ipxsetup's arguments may not either.
    if (!fits_launch_script(segment)) {
        return false;
    }
    const std::vector<std::string> words = lower_words(segment);
    if (words.empty()) {
        return false;
    }
    if (words[0] == "ipxsetup") {
        return true;
    }
    const auto are = [&words](std::initializer_list<const char*> expected) {
        return std::equal(words.begin(), words.end(), expected.begin(), expected.end());
    };
    return are({"mount", "c", "."}) || are({"c:"}) || are({"ipxnet", "startserver"}) ||
           (words.size() == 3 && words[0] == "ipxnet" && words[1] == "connect" &&
            is_host_word(words[2]));
}

std::string caret_notation(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (const char byte : text) {
        if (!is_control(byte)) {
            shown += byte;
        } else {
            shown += '^';
            shown += byte == 0x7F ? '?' : static_cast<char>(byte + 0x40);
        }
    }
    return shown;
}

} // namespace morv
