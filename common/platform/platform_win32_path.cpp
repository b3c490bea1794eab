// Names between the console's code page and the W calls.
#include <windows.h>

#include "nul_byte.h"
#include "platform_win32_path.h"

namespace morv {
namespace {

// Code pages whose conversions refuse every flag and a default character
// (UTF-7, ISO 2022, ISCII, the symbol page).
bool takes_no_flags(unsigned page) {
    return page == 42 || page == 65000 || (page >= 50220 && page <= 50229) ||
           (page >= 57002 && page <= 57011);
}

// Code pages that hold every character, where a default is refused too.
bool holds_every_character(unsigned page) {
    return page == CP_UTF8 || page == 54936;
}

} // namespace

unsigned console_code_page() {
    const UINT page = GetConsoleOutputCP();
    return page != 0 ? page : GetOEMCP();
}

std::wstring wide_text(const std::string& text, unsigned code_page) {
    if (text.empty() || holds_nul_byte(text)) {
        return std::wstring();
    }
    const DWORD flags = takes_no_flags(code_page) ? 0 : MB_ERR_INVALID_CHARS;
    const int size = static_cast<int>(text.size());
    const int count = MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), count);
    return wide;
}

std::wstring wide_path(const std::string& path) {
    return wide_text(path, console_code_page());
}

std::string code_page_text(const std::wstring& text, unsigned code_page) {
    if (text.empty()) {
        return std::string();
    }
    const bool plain = takes_no_flags(code_page) || holds_every_character(code_page);
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* missing = plain ? nullptr : "?";
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
