// Names between the console's code page and the W calls.
#include <windows.h>

#include "nul_byte.h"
#include "platform_win32_path.h"

namespace morv {
namespace {

// The C runtime's own splitting of the wide command line. It is documented
// with the runtime, whose declaration (internal.h) no public header carries.
struct CrtStartInfo {
    int new_mode;
};
extern "C" int __cdecl __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** environment,
                                      int expand_wildcards, CrtStartInfo* start_info);

} // namespace

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

std::vector<std::string> console_arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** arguments = nullptr;
    wchar_t** environment = nullptr;
    CrtStartInfo start_info = {0};
    if (__wgetmainargs(&count, &arguments, &environment, 0, &start_info) < 0 ||
        arguments == nullptr) {
        return std::vector<std::string>(argv, argv + argc);
    }
    const unsigned page = console_code_page();
    std::vector<std::string> result;
    for (int n = 0; n < count && arguments[n] != nullptr; ++n) {
        result.push_back(code_page_text(arguments[n], page));
    }
    return result;
}

} // namespace morv
