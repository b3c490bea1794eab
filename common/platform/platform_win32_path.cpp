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

namespace {

// The character in UTF-16: one unit, or two beyond the first plane; none for
// a surrogate or a value past the last character.
std::wstring utf16_of(char32_t character) {
    if ((character >= 0xD800 && character <= 0xDFFF) || character > 0x10FFFF) {
        return std::wstring();
    }
    if (character < 0x10000) {
        return std::wstring(1, static_cast<wchar_t>(character));
    }
    const char32_t offset = character - 0x10000;
    return {static_cast<wchar_t>(0xD800 + (offset >> 10)),
            static_cast<wchar_t>(0xDC00 + (offset & 0x3FF))};
}

} // namespace

std::string code_page_character(char32_t character, unsigned code_page) {
    const std::wstring wide = utf16_of(character);
    if (wide.empty()) {
        return std::string();
    }
    const bool plain = takes_no_flags(code_page) || holds_every_character(code_page);
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL defaulted = FALSE;
    BOOL* used_default = plain ? nullptr : &defaulted;
    const int size = static_cast<int>(wide.size());
    char narrow[8];
    const int count = WideCharToMultiByte(code_page, flags, wide.data(), size, narrow,
                                          sizeof narrow, nullptr, used_default);
    if (count <= 0 || defaulted) {
        return std::string();
    }
    return std::string(narrow, static_cast<std::size_t>(count));
}

} // namespace morv
