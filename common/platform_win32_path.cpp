// Names between the console's code page and the W file calls.
#include <windows.h>

#include "nul_byte.h"
#include "platform_win32_path.h"

namespace morv {

unsigned console_code_page() {
    const UINT page = GetConsoleOutputCP();
    return page != 0 ? page : GetOEMCP();
}

std::wstring wide_path(const std::string& path) {
    if (path.empty() || holds_nul_byte(path)) {
        return std::wstring();
    }
    const UINT page = console_code_page();
    const int size = static_cast<int>(path.size());
    const int count =
        MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (count <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, path.data(), size, wide.data(), count);
    return wide;
}

} // namespace morv
