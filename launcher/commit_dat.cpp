// The player count in COMMIT.DAT, rewritten through the scratch copy
// "temp.txt" so that the folder holds the old or the new complete file at
// every moment, never a part of one and never none, also after a crash, and
// with one update at a time.
#include "commit_dat.h"

#include "console.h"
#include "file_ops.h"
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

// Lines of any length are copied this many bytes at a time.
constexpr std::size_t COPY_PIECE_SIZE = 65536;
constexpr std::size_t KEY_LENGTH = 10; // "NUMPLAYERS"

// Opens COMMIT.DAT when there is one; a missing file reads as no lines.
int open_commit_dat() {
    const PathKind kind = path_kind(COMMIT_DAT);
    if (kind == PATH_MISSING) {
        return 0;
    }
    if (kind != PATH_FILE) {
        return COPY_UNREADABLE;
    }
    return open_text_file(COMMIT_DAT, FILE_READING, COMMIT_FILE) == 0 ? 0 : COPY_UNREADABLE;
}

// Copies one line of COMMIT.DAT to temp.txt piece by piece, so that a line
// of any length takes no more memory than a piece. A long line may prove a
// NUMPLAYERS line only after some of it was copied; that part is then cut
// off again. 0 when the line or its replacement was written.
int copy_line(std::int32_t player_count) {
    const std::int64_t line_start = text_file_size(SCRATCH_FILE);
    LineScan scan;
    std::string piece;
    bool complete = false;
    while (!complete) {
        complete = read_text_piece(COMMIT_FILE, piece, COPY_PIECE_SIZE);
        if (scan_is_numplayers_line(scan)) {
            continue;
        }
        scan_line_piece(scan, piece);
        if (scan_is_numplayers_line(scan)) {
            if (text_file_size(SCRATCH_FILE) != line_start &&
                truncate_text_file(SCRATCH_FILE, line_start) != 0) {
                return 1;
            }
        } else if (write_text_piece(SCRATCH_FILE, piece) != 0) {
            return 1;
        }
    }
    return write_text_line(SCRATCH_FILE,
                           scan_is_numplayers_line(scan) ? numplayers_line(player_count) : "");
}

// Writes the updated copy of COMMIT.DAT to a new temp.txt and closes both.
// A copy that could not be finished is removed: it would only fill the disk.
int write_updated_copy(std::int32_t player_count) {
    if (open_commit_dat() != 0) {
        return COPY_UNREADABLE;
    }
    if (open_text_file(SCRATCH_PATH, FILE_CREATING, SCRATCH_FILE) != 0) {
        close_text_file(COMMIT_FILE);
        return COPY_UNWRITABLE;
    }
    int write_failed = 0;
    while (write_failed == 0 && !at_end(COMMIT_FILE)) {
        write_failed = copy_line(player_count);
    }
    const bool read_failed = text_file_failed(COMMIT_FILE);
    close_text_file(COMMIT_FILE);
    if (close_text_file(SCRATCH_FILE) != 0) {
        write_failed = 1;
    }
    if (write_failed != 0 || read_failed) {
        remove_file(SCRATCH_PATH);
    }
    if (write_failed != 0) {
        return COPY_UNWRITABLE;
    }
    return read_failed ? COPY_UNREADABLE : COPY_WRITTEN;
}

} // namespace

void scan_line_piece(LineScan& scan, const std::string& piece) {
    if (!scan.started) {
        const std::size_t first = piece.find_first_not_of(' ');
        scan.started = first != std::string::npos;
        scan.comment = scan.started && piece[first] == ';';
    }
    scan.equals = scan.equals || piece.find('=') != std::string::npos;
    // The key may straddle two pieces: the end of the last one goes first.
    const std::string seen = scan.tail + upper_ascii(piece);
    scan.key = scan.key || seen.find("NUMPLAYERS") != std::string::npos;
    const std::size_t kept = seen.size() < KEY_LENGTH ? seen.size() : KEY_LENGTH - 1;
    scan.tail = seen.substr(seen.size() - kept);
}

bool scan_is_numplayers_line(const LineScan& scan) {
    return scan.key && scan.equals && !scan.comment;
}

std::string numplayers_line(std::int32_t player_count) {
    return "NUMPLAYERS = " + int_to_text(player_count);
}

bool commit_dat_present() {
    return path_kind(COMMIT_DAT) != PATH_MISSING;
}

int update_commit_dat(std::int32_t player_count) {
    // One update at a time in the folder: a second morvplay waits here, then
    // reads the first one's result; one held up past the wait begins nothing.
    // Without the lock (a file system that has none) the update goes on as
    // it would alone.
    const FolderLock lock = lock_folder(".");
    if (lock == NO_FOLDER_LOCK) {
        return COMMIT_DAT_BUSY;
    }
    remove_leftovers(lock, ".");
    const int copied = write_updated_copy(player_count);
    // A failure line closes the update: a success line after it would
    // contradict it.
    if (copied == COPY_UNREADABLE) {
        print_text("COMMIT.DAT could not be read and was left as it was.", true);
    } else if (copied == COPY_UNWRITABLE) {
        print_text("temp.txt could not be written; COMMIT.DAT was left as it was.", true);
    } else if (replace_file(SCRATCH_PATH, COMMIT_DAT) != 0) {
        print_text("COMMIT.DAT could not be replaced; its updated copy is in temp.txt.", true);
    } else {
        print_text("COMMIT.DAT updated.", true);
    }
    unlock_folder(lock);
    return 0;
}

} // namespace morv
