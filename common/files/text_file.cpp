// Numbered text files. Text mode is done here over binary reads, so that a
// file gives the same lines on every platform: CR LF and LF end a line, a lone
// CR is an ordinary character and a Ctrl-Z byte ends the file.
#include "text_file.h"

#include "platform_files.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace morv {

namespace {

constexpr std::size_t READ_BUFFER_SIZE = 65536;
constexpr char CTRL_Z = 26;

struct TextFile {
    bool open = false;
    FileMode mode = FILE_READING;
    FileHandle handle = NO_FILE;
    bool failed = false;
    // Reading: bytes not yet delivered are buffer[position, length).
    std::vector<char> buffer;
    std::size_t position = 0;
    std::size_t length = 0;
    bool stream_ended = false; // end of file, Ctrl-Z or a read error met
    int held_crs = 0;          // CRs at the end of a piece, kept until the line end is seen
    // Writing: bytes waiting for the disk, and those already written.
    std::string pending;
    std::int64_t written = 0;
    // Replacing: the file written and the one whose place it takes.
    std::string temporary;
    std::string target;
};

TextFile files[FILE_NUMBER_COUNT];
bool closing_registered = false;

TextFile* open_file(int number) {
    if (number < 1 || number > FILE_NUMBER_COUNT || !files[number - 1].open) {
        return nullptr;
    }
    return &files[number - 1];
}

TextFile* open_file(int number, FileMode mode) {
    TextFile* file = open_file(number);
    return file != nullptr && file->mode == mode ? file : nullptr;
}

TextFile* writing_file(int number) {
    TextFile* file = open_file(number);
    return file != nullptr && file->mode != FILE_READING ? file : nullptr;
}

// Reads the next block; everything from a Ctrl-Z on is cut off for good.
bool refill(TextFile& file) {
    if (file.stream_ended) {
        return false;
    }
    const std::int64_t count = platform_read_file(file.handle, file.buffer.data(),
                                                  static_cast<std::int64_t>(file.buffer.size()));
    if (count <= 0) {
        file.failed = file.failed || count < 0;
        file.stream_ended = true;
        return false;
    }
    file.position = 0;
    file.length = static_cast<std::size_t>(count);
    const void* ctrl_z = std::memchr(file.buffer.data(), CTRL_Z, file.length);
    if (ctrl_z != nullptr) {
        file.length =
            static_cast<std::size_t>(static_cast<const char*>(ctrl_z) - file.buffer.data());
        file.stream_ended = true;
    }
    return file.length > 0;
}

bool has_byte(TextFile& file) {
    return file.position < file.length || refill(file);
}

void drop_final_cr(std::string& line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
}

int flush_pending(TextFile& file) {
    if (!file.failed && !file.pending.empty()) {
        const auto size = static_cast<std::int64_t>(file.pending.size());
        file.failed = platform_write_file(file.handle, file.pending.data(), size) != 0;
        file.written += size;
    }
    file.pending.clear();
    return file.failed ? 1 : 0;
}

// Appends through the buffer, writing it out each time it is full.
void write_bytes(TextFile& file, const char* bytes, std::size_t size) {
    while (size > 0 && !file.failed) {
        const std::size_t room = WRITE_BUFFER_SIZE - file.pending.size();
        const std::size_t taken = size < room ? size : room;
        file.pending.append(bytes, taken);
        bytes += taken;
        size -= taken;
        if (file.pending.size() == WRITE_BUFFER_SIZE) {
            flush_pending(file);
        }
    }
}

FileHandle open_handle(TextFile& file, const std::string& path) {
    switch (file.mode) {
    case FILE_READING:
        return platform_open_for_reading(path);
    case FILE_CREATING:
        return platform_create_new_file(path);
    case FILE_REPLACING:
        file.target = path;
        return platform_create_temporary_beside(path, file.temporary);
    }
    return NO_FILE;
}

// The piece's last CRs may be the end of a CR LF line end, known only from
// the next byte; at most two go with an LF.
void hold_final_crs(TextFile& file, std::string& piece) {
    while (file.held_crs < 2 && piece.size() > 1 && piece.back() == '\r') {
        piece.pop_back();
        ++file.held_crs;
    }
}

void prepare_buffers(TextFile& file) {
    if (file.mode == FILE_READING) {
        file.buffer.resize(READ_BUFFER_SIZE);
    } else {
        file.pending.reserve(WRITE_BUFFER_SIZE);
    }
}

// Buffers still waiting at a normal end of the process reach the disk too.
void register_closing_at_exit() {
    if (!closing_registered) {
        closing_registered = std::atexit(close_all_text_files) == 0;
    }
}

} // namespace

int first_free_file_number() {
    for (int number = 1; number <= FILE_NUMBER_COUNT; ++number) {
        if (!files[number - 1].open) {
            return number;
        }
    }
    return 0;
}

int open_text_file(const std::string& path, FileMode mode, int number) {
    if (number < 1 || number > FILE_NUMBER_COUNT || files[number - 1].open) {
        return 1;
    }
    TextFile& file = files[number - 1];
    file = TextFile{};
    file.mode = mode;
    file.handle = open_handle(file, path);
    if (file.handle == NO_FILE) {
        file = TextFile{};
        return 2;
    }
    file.open = true;
    prepare_buffers(file);
    register_closing_at_exit();
    return 0;
}

int write_text_line(int number, const std::string& text) {
    TextFile* file = writing_file(number);
    if (file == nullptr) {
        return 1;
    }
    write_bytes(*file, text.data(), text.size());
    write_bytes(*file, "\r\n", 2);
    return file->failed ? 1 : 0;
}

bool read_text_piece(int number, std::string& piece, std::size_t most) {
    TextFile* file = open_file(number, FILE_READING);
    piece.assign(static_cast<std::size_t>(file == nullptr ? 0 : file->held_crs), '\r');
    if (file == nullptr) {
        return true;
    }
    file->held_crs = 0;
    while (piece.size() < most && has_byte(*file)) {
        const char* start = file->buffer.data() + file->position;
        std::size_t available = file->length - file->position;
        available = available < most - piece.size() ? available : most - piece.size();
        const void* found = std::memchr(start, '\n', available);
        if (found == nullptr) {
            piece.append(start, available);
            file->position += available;
            continue;
        }
        const auto taken = static_cast<std::size_t>(static_cast<const char*>(found) - start);
        piece.append(start, taken);
        file->position += taken + 1;
        // CR LF arrives as LF, and one CR before that LF goes with it.
        drop_final_cr(piece);
        drop_final_cr(piece);
        return true;
    }
    if (piece.size() >= most && has_byte(*file)) {
        hold_final_crs(*file, piece);
        return false;
    }
    drop_final_cr(piece);
    return true;
}

int write_text_piece(int number, const std::string& bytes) {
    TextFile* file = writing_file(number);
    if (file == nullptr) {
        return 1;
    }
    write_bytes(*file, bytes.data(), bytes.size());
    return file->failed ? 1 : 0;
}

std::int64_t text_file_size(int number) {
    const TextFile* file = writing_file(number);
    return file == nullptr ? -1 : file->written + static_cast<std::int64_t>(file->pending.size());
}

int truncate_text_file(int number, std::int64_t size) {
    TextFile* file = writing_file(number);
    if (file == nullptr) {
        return 1;
    }
    flush_pending(*file);
    if (!file->failed) {
        file->failed = platform_truncate_file(file->handle, size) != 0;
        file->written = size;
    }
    return file->failed ? 1 : 0;
}

bool at_end(int number) {
    TextFile* file = open_file(number, FILE_READING);
    return file == nullptr || (file->held_crs == 0 && !has_byte(*file));
}

bool text_file_failed(int number) {
    const TextFile* file = open_file(number);
    return file != nullptr && file->failed;
}

int close_text_file(int number) {
    TextFile* file = open_file(number);
    if (file == nullptr) {
        return 0;
    }
    int result = file->mode == FILE_READING ? 0 : flush_pending(*file);
    if (platform_close_file(file->handle) != 0) {
        result = 1;
    }
    if (file->mode == FILE_REPLACING) {
        if (result == 0 && platform_replace_file(file->temporary, file->target) != 0) {
            result = 1;
        }
        if (result != 0) {
            platform_remove_file(file->temporary);
        }
    }
    *file = TextFile{};
    return result;
}

void close_all_text_files() {
    for (int number = 1; number <= FILE_NUMBER_COUNT; ++number) {
        TextFile& file = files[number - 1];
        if (file.open && file.mode == FILE_REPLACING) {
            file.failed = true;
        }
        close_text_file(number);
    }
}

} // namespace morv
