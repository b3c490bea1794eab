// Text rules shared by both programs.
#include "text.h"

namespace morv {

std::string trim_spaces(const std::string& text) {
    std::size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ') {
        ++begin;
    }
    std::size_t end = text.size();
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\0')) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string upper_ascii(const std::string& text) {
    std::string result = text;
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

std::string left_part(const std::string& text, std::int64_t count) {
    if (count <= 0) {
        return {};
    }
    return text.substr(0, static_cast<std::size_t>(count));
}

std::string right_part(const std::string& text, std::int64_t count) {
    if (count <= 0) {
        return {};
    }
    const auto n = static_cast<std::size_t>(count);
    return n >= text.size() ? text : text.substr(text.size() - n);
}

std::string mid_part(const std::string& text, std::int64_t start, std::int64_t count) {
    const auto length = static_cast<std::int64_t>(text.size());
    if (start < 1 || start > length || count == 0) {
        return {};
    }
    const auto from = static_cast<std::size_t>(start - 1);
    if (count < 0) {
        return text.substr(from);
    }
    return text.substr(from, static_cast<std::size_t>(count));
}

std::int64_t find_first(const std::string& text, const std::string& needle) {
    if (needle.empty() || text.empty()) {
        return 0;
    }
    const std::size_t at = text.find(needle);
    return at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

std::int64_t find_last(const std::string& text, const std::string& needle) {
    if (needle.empty() || text.empty()) {
        return 0;
    }
    const std::size_t at = text.rfind(needle);
    return at == std::string::npos ? 0 : static_cast<std::int64_t>(at) + 1;
}

std::string int_to_text(std::int32_t value) {
    return std::to_string(value);
}

} // namespace morv
