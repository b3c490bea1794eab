// Files on Windows. A FileHandle holds a Win32 file handle; none is
// inheritable, so the emulator processes started later hold none of them.
// "/" and "\" both separate folders here, so paths go through unchanged,
// turned from the console's code page into UTF-16 for the W calls.
#include <windows.h>

#include "nul_byte.h"
#include "platform_files.h"
#include "platform_win32_path.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <direct.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace morv {
namespace {

// ReadFile and WriteFile take 32-bit counts.
constexpr std::int64_t LARGEST_TRANSFER = 1 << 30;

HANDLE native_handle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

FileHandle morv_handle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? NO_FILE : reinterpret_cast<FileHandle>(handle);
}

DWORD transfer_size(std::int64_t size) {
    return static_cast<DWORD>(std::min(size, LARGEST_TRANSFER));
}

bool is_missing_error(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_NETPATH ||
           error == ERROR_INVALID_DRIVE;
}

// A link is judged by what it points at; a link to nothing still occupies
// its name.
PathKind linked_path_kind(const std::string& path) {
    const HANDLE handle = CreateFileW(wide_path(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return PATH_OTHER;
    }
    BY_HANDLE_FILE_INFORMATION information;
    const bool file = GetFileInformationByHandle(handle, &information) &&
                      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    CloseHandle(handle);
    return file ? PATH_FILE : PATH_OTHER;
}

// Windows refuses to move onto a read-only file; the attribute is looked at
// first all the same, as not every system that runs these calls refuses it
// (wine run by root replaces the file).
bool is_read_only(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Brings the file's data to the disk, so that a crash after the move cannot
// leave the new name on an empty or short file. Flushing needs write access.
int flush_file(const std::string& path) {
    const HANDLE handle = CreateFileW(wide_path(path).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return -1;
    }
    const BOOL flushed = FlushFileBuffers(handle);
    CloseHandle(handle);
    return flushed ? 0 : -1;
}

// Creates a file that did not exist, sharing as the C runtime's fopen does.
HANDLE create_new(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The folder part of a path with its final separator, or empty.
std::string folder_part(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// A name no other file in the folder is likely to hold; CREATE_NEW makes sure.
std::string temporary_name(const std::string& target, unsigned attempt) {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const unsigned long long draw = static_cast<unsigned long long>(counter.QuadPart) * 40503ULL +
                                    GetCurrentProcessId() * 2654435761ULL + attempt;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", draw);
    return folder_part(target) + ".morv-copy-" + digits;
}

// The old file's hidden, system and archive marks go to the new one.
bool copy_attributes(const std::wstring& from, const std::wstring& to) {
    constexpr DWORD KEPT = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = GetFileAttributesW(to.c_str());
    return (attributes & KEPT) == 0 || SetFileAttributesW(from.c_str(), attributes & KEPT) != 0;
}

// The security calls live in advapi32. It is loaded from the system folder
// when a file is replaced, so that the programs import only KERNEL32, USER32
// and msvcrt and start on any Windows as before.
using GetFileSecurityCall = BOOL(WINAPI*)(LPCWSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR,
                                          DWORD, LPDWORD);
using SetFileSecurityCall = BOOL(WINAPI*)(LPCWSTR, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR);

struct SecurityCalls {
    GetFileSecurityCall get = nullptr;
    SetFileSecurityCall set = nullptr;
};

// GetProcAddress gives every entry one type; this is the documented way to
// reach the entry's own.
template <typename Call> Call security_call(HMODULE library, const char* name) {
    const FARPROC entry = GetProcAddress(library, name);
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(entry));
}

// Windows 7 without its loader update refuses LOAD_LIBRARY_SEARCH_SYSTEM32;
// there the library is named by its full path in the system folder.
HMODULE load_advapi32() {
    const HMODULE library = LoadLibraryExW(L"advapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (library != nullptr) {
        return library;
    }
    const UINT size = GetSystemDirectoryW(nullptr, 0);
    if (size == 0) {
        return nullptr;
    }
    std::wstring path(size, L'\0');
    const UINT length = GetSystemDirectoryW(path.data(), size);
    if (length == 0 || length >= size) {
        return nullptr;
    }
    path.resize(length);
    return LoadLibraryW((path + L"\\advapi32.dll").c_str());
}

SecurityCalls security_calls() {
    static SecurityCalls calls = [] {
        SecurityCalls found;
        const HMODULE library = load_advapi32();
        if (library != nullptr) {
            found.get = security_call<GetFileSecurityCall>(library, "GetFileSecurityW");
            found.set = security_call<SetFileSecurityCall>(library, "SetFileSecurityW");
        }
        return found;
    }();
    return calls;
}

// A file system without security (FAT) answers that it has none.
bool has_no_security(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

// The old file's access list goes to the new one, so that it is never more
// open than before; its owner and group too where this process may set them.
bool copy_security(const std::wstring& from, const std::wstring& to) {
    constexpr SECURITY_INFORMATION PARTS =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    const SecurityCalls calls = security_calls();
    if (calls.get == nullptr || calls.set == nullptr) {
        return false;
    }
    DWORD size = 0;
    if (!calls.get(to.c_str(), PARTS, nullptr, 0, &size)) {
        const DWORD error = GetLastError();
        if (has_no_security(error)) {
            return true;
        }
        if (error != ERROR_INSUFFICIENT_BUFFER) {
            return false;
        }
    }
    if (size == 0) {
        return true; // nothing to copy
    }
    std::vector<unsigned char> descriptor(size);
    if (!calls.get(to.c_str(), PARTS, descriptor.data(), size, &size)) {
        return false;
    }
    calls.set(from.c_str(), OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION,
              descriptor.data());
    return calls.set(from.c_str(), DACL_SECURITY_INFORMATION, descriptor.data()) != 0;
}

// The new file takes the old one's attributes and security descriptor, then
// its place in one rename, so that the name never goes missing (ReplaceFileW
// does not promise that).
bool replace_keeping_security(const std::wstring& from, const std::wstring& to) {
    const DWORD attributes = GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !copy_attributes(from, to) ||
         !copy_security(from, to))) {
        return false;
    }
    // Write-through returns only once the new name is on the disk.
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Clears a read-only mark, which MoveFileExW and DeleteFileW refuse to
// pass; attributes receives the old ones (INVALID_FILE_ATTRIBUTES for none).
bool clear_read_only(const std::wstring& path, DWORD& attributes) {
    attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
           SetFileAttributesW(path.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}) != 0;
}

bool remove_entry(const std::wstring& path) {
    DWORD attributes = 0;
    return clear_read_only(path, attributes) && DeleteFileW(path.c_str()) != 0;
}

// CopyFileW keeps the source's time and attributes; the read-only mark is
// taken off the copy, and off the target, so that the one can replace the
// other. A target that is not replaced gets its mark back.
bool copy_then_replace(const std::wstring& source, const std::wstring& temporary,
                       const std::wstring& target) {
    DWORD copied = 0;
    DWORD replaced = 0;
    if (!CopyFileW(source.c_str(), temporary.c_str(), FALSE) ||
        !clear_read_only(temporary, copied) || !clear_read_only(target, replaced)) {
        return false;
    }
    if (MoveFileExW(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (replaced != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(target.c_str(), replaced);
    }
    return false;
}

// The names temporary_name gives: the prefix and 16 hexadecimal digits.
bool is_temporary_name(const std::wstring& name) {
    const std::wstring prefix = L".morv-copy-";
    if (name.size() != prefix.size() + 16 || name.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    return name.find_first_not_of(L"0123456789abcdef", prefix.size()) == std::wstring::npos;
}

// The wide arguments as wmain got them (platform_win32_main.cpp).
std::vector<std::wstring>& kept_arguments() {
    static std::vector<std::wstring> arguments;
    return arguments;
}

} // namespace

void keep_wide_arguments(int argc, wchar_t** argv) {
    kept_arguments().assign(argv, argv + argc);
}

FileHandle platform_open_for_reading(const std::string& path) {
    if (holds_nul_byte(path)) {
        return NO_FILE;
    }
    // Sharing as the C runtime's fopen does: others may read and write.
    const HANDLE handle =
        CreateFileW(wide_path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // A device (CON, NUL, COM1) or a pipe opens too, but would block or
    // never end: only a file on a disk is read.
    if (handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return NO_FILE;
    }
    return morv_handle(handle);
}

FileHandle platform_create_new_file(const std::string& path) {
    const std::wstring name = wide_path(path);
    if (name.empty()) {
        return NO_FILE;
    }
    // Once more when another process put the name back in between.
    for (int tries = 0; tries < 2; ++tries) {
        if (!DeleteFileW(name.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            return NO_FILE;
        }
        const HANDLE handle = create_new(name);
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return morv_handle(handle);
        }
    }
    return NO_FILE;
}

FileHandle platform_create_temporary_beside(const std::string& target, std::string& temporary) {
    if (holds_nul_byte(target)) {
        return NO_FILE;
    }
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        temporary = temporary_name(target, attempt);
        const HANDLE handle = create_new(wide_path(temporary));
        if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return morv_handle(handle);
        }
    }
    return NO_FILE;
}

int platform_truncate_file(FileHandle file, std::int64_t size) {
    LARGE_INTEGER position{};
    position.QuadPart = size;
    const HANDLE handle = native_handle(file);
    return SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) && SetEndOfFile(handle) ? 0 : -1;
}

std::int64_t platform_read_file(FileHandle file, char* buffer, std::int64_t size) {
    if (size <= 0) {
        return 0;
    }
    DWORD count = 0;
    if (!ReadFile(native_handle(file), buffer, transfer_size(size), &count, nullptr)) {
        return -1;
    }
    return count;
}

int platform_write_file(FileHandle file, const char* bytes, std::int64_t size) {
    while (size > 0) {
        DWORD count = 0;
        if (!WriteFile(native_handle(file), bytes, transfer_size(size), &count, nullptr) ||
            count == 0) {
            return -1;
        }
        bytes += count;
        size -= count;
    }
    return 0;
}

int platform_close_file(FileHandle file) {
    return CloseHandle(native_handle(file)) ? 0 : -1;
}

PathKind platform_path_kind(const std::string& path) {
    if (holds_nul_byte(path)) {
        return PATH_MISSING;
    }
    const DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return is_missing_error(GetLastError()) ? PATH_MISSING : PATH_OTHER;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || (attributes & FILE_ATTRIBUTE_DEVICE) != 0) {
        return PATH_OTHER;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return linked_path_kind(path);
    }
    return PATH_FILE;
}

int platform_copy_file(const std::string& source, const std::string& target) {
    if (holds_nul_byte(source) || holds_nul_byte(target)) {
        return 1;
    }
    std::string temporary;
    const FileHandle file = platform_create_temporary_beside(target, temporary);
    if (file == NO_FILE) {
        return 1;
    }
    platform_close_file(file);
    const std::wstring beside = wide_path(temporary);
    if (!copy_then_replace(wide_path(source), beside, wide_path(target))) {
        remove_entry(beside);
        return 1;
    }
    return 0;
}

int platform_make_folder(const std::string& path) {
    if (holds_nul_byte(path)) {
        return -1;
    }
    return _wmkdir(wide_path(path).c_str()) == 0 ? 0 : -1;
}

int platform_remove_file(const std::string& path) {
    if (holds_nul_byte(path)) {
        return -1;
    }
    return _wremove(wide_path(path).c_str()) == 0 ? 0 : -1;
}

int platform_rename_no_replace(const std::string& old_path, const std::string& new_path) {
    if (holds_nul_byte(old_path) || holds_nul_byte(new_path)) {
        return -1;
    }
    return MoveFileW(wide_path(old_path).c_str(), wide_path(new_path).c_str()) ? 0 : -1;
}

int platform_replace_file(const std::string& old_path, const std::string& new_path) {
    if (holds_nul_byte(old_path) || holds_nul_byte(new_path) || is_read_only(new_path) ||
        flush_file(old_path) != 0) {
        return -1;
    }
    return replace_keeping_security(wide_path(old_path), wide_path(new_path)) ? 0 : -1;
}

int platform_file_local_date(const std::string& path, int& day, int& month, int& year) {
    if (holds_nul_byte(path)) {
        return -1;
    }
    struct _stat64 status {};
    if (_wstat64(wide_path(path).c_str(), &status) != 0) {
        return -1;
    }
    const __time64_t modified = status.st_mtime;
    std::tm local{};
    _tzset(); // TZ may have changed since the last conversion
    if (_localtime64_s(&local, &modified) != 0) {
        return -1;
    }
    day = local.tm_mday;
    month = local.tm_mon + 1;
    year = local.tm_year + 1900;
    return 0;
}

std::string platform_working_folder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    if (size == 0) {
        return "";
    }
    std::wstring folder(size, L'\0');
    const DWORD length = GetCurrentDirectoryW(size, folder.data());
    if (length == 0 || length >= size) {
        return "";
    }
    folder.resize(length);
    return code_page_text(folder, console_code_page());
}

int platform_remove_temporaries(const std::string& folder) {
    const std::wstring wide = folder.empty() ? L"." : wide_path(folder);
    if (wide.empty()) {
        return -1;
    }
    const std::wstring prefix = wide + L"\\";
    WIN32_FIND_DATAW entry;
    const HANDLE listing = FindFirstFileW((prefix + L".morv-copy-*").c_str(), &entry);
    if (listing == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
    }
    do {
        const std::wstring path = prefix + entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            !is_temporary_name(entry.cFileName)) {
            continue;
        }
        // DeleteFileW removes a link itself, whatever it points at.
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            DeleteFileW(path.c_str());
        } else {
            remove_entry(path);
        }
    } while (FindNextFileW(listing, &entry));
    FindClose(listing);
    return 0;
}

bool platform_argument_fits(int n) {
    const std::vector<std::wstring>& arguments = kept_arguments();
    if (n < 0 || static_cast<std::size_t>(n) >= arguments.size()) {
        return true;
    }
    const std::wstring& argument = arguments[static_cast<std::size_t>(n)];
    const unsigned page = console_code_page();
    return wide_text(code_page_text(argument, page), page) == argument;
}

int platform_rename_argument(int n, const std::string& argument, const std::string& new_path) {
    if (platform_argument_fits(n)) {
        return platform_rename_no_replace(argument, new_path);
    }
    const std::wstring to = wide_path(new_path);
    if (to.empty()) {
        return -1;
    }
    return MoveFileW(kept_arguments()[static_cast<std::size_t>(n)].c_str(), to.c_str()) ? 0 : -1;
}

} // namespace morv
