// The player count in COMMIT.DAT, rewritten through the scratch copy
// "temp.txt" so that the folder holds the old or the new complete file at
// every moment, never a part of one and never none, also after a crash, and
// with one update at a time.
#include "commit_dat.h"

#include "console.h"
#include "platform.h"
#include "text.h"
#include "text_file.h"

namespace morv {

namespace {

constexpr const char* COMMIT_DAT = "COMMIT.DAT";
constexpr const char* SCRATCH_PATH = "temp.txt";
constexpr int COMMIT_FILE = 1;
constexpr int SCRATCH_FILE = 2;

constexpr int COPY_WRITTEN = 0;
constexpr int COPY_UNREADABLE = 1; // COMMIT.DAT exists but cannot be read to its end
constexpr int COPY_UNWRITABLE = 2; // temp.txt cannot be created or written

// Opens COMMIT.DAT when there is one; a missing file reads as no lines.
int open_commit_dat() {
    const PathKind kind = platform_path_kind(COMMIT_DAT);
    if (kind == PATH_MISSING) {
        return 0;
    }
    if (kind != PATH_FILE) {
        return COPY_UNREADABLE;
    }
    return open_text_file(COMMIT_DAT, FILE_READING, COMMIT_FILE) == 0 ? 0 : COPY_UNREADABLE;
}

// Writes the updated copy of COMMIT.DAT to temp.txt and closes both.
int write_updated_copy(std::int32_t player_count) {
    if (open_commit_dat() != 0) {
        return COPY_UNREADABLE;
    }
    if (open_text_file(SCRATCH_PATH, FILE_WRITING, SCRATCH_FILE) != 0) {
        close_text_file(COMMIT_FILE);
        return COPY_UNWRITABLE;
    }
    int write_failed = 0;
    while (write_failed == 0 && !at_end(COMMIT_FILE)) {
        std::string line;
        read_text_line(COMMIT_FILE, line);
        write_failed = write_text_line(SCRATCH_FILE, updated_commit_line(line, player_count));
    }
    const bool read_failed = text_file_failed(COMMIT_FILE);
    close_text_file(COMMIT_FILE);
    if (close_text_file(SCRATCH_FILE) != 0) {
        write_failed = 1;
    }
    if (write_failed != 0) {
        return COPY_UNWRITABLE;
    }
    return read_failed ? COPY_UNREADABLE : COPY_WRITTEN;
}

} // namespace

bool is_numplayers_line(const std::string& line) {
    const std::string trimmed = trim_spaces(line);
    return find_first(upper_ascii(trimmed), "NUMPLAYERS") > 0 && find_first(trimmed, "=") > 0 &&
           left_part(trimmed, 1) != ";";
}

std::string numplayers_line(std::int32_t player_count) {
    return "NUMPLAYERS = " + int_to_text(player_count);
}

std::string updated_commit_line(const std::string& line, std::int32_t player_count) {
    return is_numplayers_line(line) ? numplayers_line(player_count) : line;
}

void update_commit_dat(std::int32_t player_count) {
    // One update at a time in the folder: a second morvplay waits here, then
    // reads the first one's result. Without the lock (a file system that has
    // none) the update goes on as it would alone.
    const FolderLock lock = platform_lock_folder(".");
    const int copied = write_updated_copy(player_count);
    if (copied == COPY_UNREADABLE) {
        print_text("COMMIT.DAT could not be read and was left as it was.", true);
    } else if (copied == COPY_UNWRITABLE) {
        print_text("temp.txt could not be written; COMMIT.DAT was left as it was.", true);
    } else if (platform_replace_file(SCRATCH_PATH, COMMIT_DAT) != 0) {
        print_text("COMMIT.DAT could not be replaced; its updated copy is in temp.txt.", true);
    }
    platform_unlock_folder(lock);
    print_text("COMMIT.DAT updated.", true);
}

} // namespace morv
