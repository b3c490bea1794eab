// Numbered text files. Text mode is done here over binary reads, so that a
// file gives the same lines on every platform: CR LF and LF end a line, a lone
// CR is an ordinary character and a Ctrl-Z byte ends the file.
#include "text_file.h"

#include "platform.h"

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
    // Writing: bytes waiting for the disk.
    std::string pending;
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
    const FileHandle handle =
        mode == FILE_READING ? platform_open_for_reading(path) : platform_open_for_writing(path);
    if (handle == NO_FILE) {
        return 2;
    }
    TextFile& file = files[number - 1];
    file = TextFile{};
    file.open = true;
    file.mode = mode;
    file.handle = handle;
    prepare_buffers(file);
    register_closing_at_exit();
    return 0;
}

int write_text_line(int number, const std::string& text) {
    TextFile* file = open_file(number, FILE_WRITING);
    if (file == nullptr) {
        return 1;
    }
    write_bytes(*file, text.data(), text.size());
    write_bytes(*file, "\r\n", 2);
    return file->failed ? 1 : 0;
}

void read_text_line(int number, std::string& line) {
    TextFile* file = open_file(number, FILE_READING);
    if (file == nullptr) {
        return;
    }
    line.clear();
    while (has_byte(*file)) {
        const char* start = file->buffer.data() + file->position;
        const std::size_t available = file->length - file->position;
        const void* found = std::memchr(start, '\n', available);
        if (found == nullptr) {
            line.append(start, available);
            file->position = file->length;
            continue;
        }
        const auto taken = static_cast<std::size_t>(static_cast<const char*>(found) - start);
        line.append(start, taken);
        file->position += taken + 1;
        // CR LF arrives as LF, and one CR before that LF goes with it.
        drop_final_cr(line);
        drop_final_cr(line);
        return;
    }
    drop_final_cr(line);
}

bool at_end(int number) {
    TextFile* file = open_file(number, FILE_READING);
    return file == nullptr || !has_byte(*file);
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
    int result = file->mode == FILE_WRITING ? flush_pending(*file) : 0;
    if (platform_close_file(file->handle) != 0) {
        result = 1;
    }
    *file = TextFile{};
    return result;
}

void close_all_text_files() {
    for (int number = 1; number <= FILE_NUMBER_COUNT; ++number) {
        close_text_file(number);
    }
}

} // namespace morv
