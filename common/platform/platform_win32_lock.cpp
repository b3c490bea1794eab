// The folder lock on Windows: a named mutex whose name comes from the
// folder's full path, so every process that locks the same folder, by
// whatever path, waits on the same mutex. It leaves nothing in the folder,
// and the system gives it back when its holder ends in any way. A holder
// that keeps it past the wait (a stopped program, say) is reported, not
// waited for without end.
#include <windows.h>

#include "nul_byte.h"
#include "platform_files.h"
#include "platform_win32_path.h"

#include <cstdint>
#include <string>

namespace morv {
namespace {

// The path the system itself knows the folder by: full, long names, in upper
// case (file names are compared without regard to case), no final "\".
std::wstring folder_identity(const std::wstring& folder) {
    std::wstring full(GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr), L'\0');
    full.resize(
        GetFullPathNameW(folder.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    std::wstring long_name(GetLongPathNameW(full.c_str(), nullptr, 0), L'\0');
    const DWORD length =
        GetLongPathNameW(full.c_str(), long_name.data(), static_cast<DWORD>(long_name.size()));
    std::wstring identity =
        length > 0 && length < long_name.size() ? long_name.substr(0, length) : full;
    while (identity.size() > 3 && (identity.back() == L'\\' || identity.back() == L'/')) {
        identity.pop_back();
    }
    CharUpperBuffW(identity.data(), static_cast<DWORD>(identity.size()));
    return identity;
}

// A mutex name may hold no "\" and has a length limit, so the path is hashed
// (64-bit FNV-1a over its UTF-16 units).
std::string mutex_name(const std::wstring& identity) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const wchar_t c : identity) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ULL;
    }
    std::string name = "morv-folder-lock-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += "0123456789abcdef"[(hash >> shift) & 0xF];
    }
    return name;
}

} // namespace

FolderLock platform_lock_folder(const std::string& folder) {
    if (holds_nul_byte(folder)) {
        return NO_FOLDER_LOCK;
    }
    // A name alone would give a mutex for any path; only a folder is locked.
    const std::wstring wide = wide_path(folder);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return NO_FOLDER_LOCK;
    }
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, mutex_name(folder_identity(wide)).c_str());
    if (mutex == nullptr) {
        return FOLDER_WITHOUT_LOCKS;
    }
    // An abandoned mutex belonged to a holder that was ended; it is ours now.
    const DWORD waited = WaitForSingleObject(mutex, FOLDER_LOCK_WAIT_MS);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        CloseHandle(mutex);
        return waited == WAIT_TIMEOUT ? NO_FOLDER_LOCK : FOLDER_WITHOUT_LOCKS;
    }
    return reinterpret_cast<FolderLock>(mutex);
}

void platform_unlock_folder(FolderLock lock) {
    if (lock == NO_FOLDER_LOCK || lock == FOLDER_WITHOUT_LOCKS) {
        return;
    }
    const HANDLE mutex = reinterpret_cast<HANDLE>(lock);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
}

} // namespace morv
