// Names between the console's code page and the W calls.
#include <windows.h>

#include "nul_byte.h"
#include "platform_win32_path.h"

namespace morv {
unsigned console_code_page() {
    const UINT page = GetConsoleOutputCP();
    return page != 0 ? page : GetOEMCP();
}

std::wstring wide_text(const std::string& text, unsigned code_page) {
    if (text.empty() || holds_nul_byte(text)) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int count =
        MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), count);
    return wide;
}

std::wstring wide_path(const std::string& path) {
    return wide_text(path, console_code_page());
}

std::string code_page_text(const std::wstring& text, unsigned code_page) {
    if (text.empty()) {
        return std::string();
    }
    // UTF-8 holds every character and takes neither flag nor default.
    const bool utf8 = code_page == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* missing = utf8 ? nullptr : "?";
    const int size = static_cast<int>(text.size());
    const int count =
        WideCharToMultiByte(code_page, flags, text.data(), size, nullptr, 0, missing, nullptr);
    if (count <= 0) {
        return "?";
    }
    std::string narrow(static_cast<std::size_t>(count), '\0');
    WideCharToMultiByte(code_page, flags, text.data(), size, narrow.data(), count, missing,
                        nullptr);
    return narrow;
}

} // namespace morv
