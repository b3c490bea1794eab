#include "sanitized_build.h"
#include "scratch_folder.h"
#include "text_file.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <sys/resource.h>
#endif

namespace fs = std::filesystem;
using namespace morv;

namespace {

using Lines = std::vector<std::string>;

const std::size_t BLOCK = 65536;                  // the size of one read from the disk
const std::size_t WHOLE_LINE = std::string::npos; // a piece no line reaches

class TextFileTest : public testing::Test {
  protected:
    void TearDown() override { close_all_text_files(); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::string put(const std::string& bytes) const {
        const std::string file = path("in.txt");
        std::ofstream(file, std::ios::binary) << bytes;
        return file;
    }

    static std::string bytes_of(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The reading loop of every caller.
    static Lines read_lines(const std::string& file) {
        Lines lines;
        EXPECT_EQ(open_text_file(file, FILE_READING, 1), 0);
        std::string line;
        while (!at_end(1)) {
            read_text_piece(1, line, WHOLE_LINE);
            lines.push_back(line);
        }
        EXPECT_EQ(close_text_file(1), 0);
        return lines;
    }

    // The same loop, each line gathered from pieces of at most most bytes.
    static Lines read_lines_in_pieces(const std::string& file, std::size_t most) {
        Lines lines;
        EXPECT_EQ(open_text_file(file, FILE_READING, 1), 0);
        std::string piece;
        while (!at_end(1)) {
            lines.emplace_back();
            for (bool complete = false; !complete; lines.back() += piece) {
                complete = read_text_piece(1, piece, most);
                EXPECT_LE(piece.size(), most);
            }
        }
        EXPECT_EQ(close_text_file(1), 0);
        return lines;
    }

    morv_test::ScratchFolder scratch{"morv_text_file_"};
    fs::path folder = scratch.path;
};

TEST_F(TextFileTest, ReadsLinesByTextModeRules) {
    struct Case {
        std::string bytes;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {"a\r\nb", {"a", "b"}},
        {"a\n\n", {"a", ""}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r\n", {"a\rb"}},
        {"a\r\n\x1a"
         "b\r\n",
         {"a"}},
        {"\x1a"
         "a\n",
         {}},
        {"a\r\x1a", {"a"}},
        {"a\r", {"a"}},
        {"a\r\r\n", {"a"}},
        {"a\r\r\r\n", {"a\r"}},
        {"a\r\r", {"a\r"}},
        {"a\r\n\r", {"a", ""}},
        {"\r\n", {""}},
        {"", {}},
        {std::string("a\0b\n", 4), {std::string("a\0b", 3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes));
        EXPECT_EQ(read_lines(put(c.bytes)), c.lines);
        for (const std::size_t most : {std::size_t{3}, std::size_t{4}, std::size_t{5}}) {
            EXPECT_EQ(read_lines_in_pieces(put(c.bytes), most), c.lines) << most;
        }
    }
}

TEST_F(TextFileTest, WritesBytesAndCrLf) {
    struct Case {
        Lines lines;
        std::string bytes;
    };
    const std::vector<Case> cases = {
        {{"a", "b"}, "a\r\nb\r\n"},     {{}, ""}, {{""}, "\r\n"}, {{"x\ry\n"}, "x\ry\n\r\n"},
        {{"\x1a\xe9"}, "\x1a\xe9\r\n"},
    };
    const std::string file = path("out.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.lines));
        std::ofstream(file) << "old contents";
        ASSERT_EQ(open_text_file(file, FILE_CREATING, 3), 0);
        for (const std::string& line : c.lines) {
            EXPECT_EQ(write_text_line(3, line), 0);
        }
        EXPECT_EQ(close_text_file(3), 0);
        EXPECT_EQ(bytes_of(file), c.bytes);
    }
}

TEST_F(TextFileTest, LineEndsAcrossReadBlocks) {
    struct Case {
        const char* what;
        std::size_t length; // of the run of x that starts the file
        std::string rest;
        Lines lines_after_run; // the first one continues the run
    };
    const std::vector<Case> cases = {
        {"CR LF split", BLOCK - 1, "\r\nz", {"", "z"}},
        {"CR CR LF split", BLOCK - 2, "\r\r\nz", {"", "z"}},
        {"lone CR last in block", BLOCK - 1, "\ry\nz", {"\ry", "z"}},
        {"LF first of next block", BLOCK, "\nz\n", {"", "z"}},
        {"Ctrl-Z in a later block", BLOCK + 100, "\r\n\x1az\r\n", {""}},
        {"line of five blocks", 5 * BLOCK + 7, "\r\nz", {"", "z"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string run(c.length, 'x');
        Lines expected = c.lines_after_run;
        expected[0] = run + expected[0];
        EXPECT_EQ(read_lines(put(run + c.rest)), expected);
    }
}

TEST_F(TextFileTest, ManyLinesOfManyLengthsSurviveWriteAndRead) {
    Lines lines;
    std::string expected_bytes;
    for (std::size_t i = 0; i < 3000; ++i) {
        const std::size_t length = (i * 7919) % (i % 50 == 0 ? 20000 : 300);
        lines.emplace_back(length, static_cast<char>('a' + i % 26));
        expected_bytes += lines.back() + "\r\n";
    }
    const std::string file = path("many.txt");
    ASSERT_EQ(open_text_file(file, FILE_CREATING, 1), 0);
    for (const std::string& line : lines) {
        ASSERT_EQ(write_text_line(1, line), 0);
    }
    ASSERT_EQ(close_text_file(1), 0);
    EXPECT_EQ(bytes_of(file), expected_bytes);
    EXPECT_EQ(read_lines(file), lines);
}

TEST_F(TextFileTest, BytesReachTheDiskWhenTheBufferFillsAndAtClose) {
    const std::string file = path("buffered.txt");
    ASSERT_EQ(open_text_file(file, FILE_CREATING, 1), 0);
    write_text_line(1, "short");
    EXPECT_EQ(fs::file_size(file), 0u);
    for (int i = 0; i < 10; ++i) {
        write_text_line(1, std::string(998, 'x'));
    }
    EXPECT_EQ(fs::file_size(file), WRITE_BUFFER_SIZE);
    close_all_text_files();
    EXPECT_EQ(fs::file_size(file), 7u + 10 * 1000);
}

TEST_F(TextFileTest, FileNumbers) {
    EXPECT_EQ(first_free_file_number(), 1);
    ASSERT_EQ(open_text_file(put("kept\n"), FILE_READING, 1), 0);
    EXPECT_EQ(first_free_file_number(), 2);
    for (const int number : {0, -1, 256, 1}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(open_text_file(path("other.txt"), FILE_CREATING, number), 1);
    }
    EXPECT_FALSE(fs::exists(path("other.txt")));
    std::string line;
    read_text_piece(1, line, WHOLE_LINE);
    EXPECT_EQ(line, "kept"); // the refused open left number 1 as it was

    for (int number = 2; number <= FILE_NUMBER_COUNT; ++number) {
        ASSERT_EQ(open_text_file(path(std::to_string(number)), FILE_CREATING, number), 0);
        write_text_line(number, "n");
    }
    EXPECT_EQ(first_free_file_number(), 0);
    close_all_text_files();
    EXPECT_EQ(first_free_file_number(), 1);
    EXPECT_EQ(bytes_of(path("255")), "n\r\n");
}

TEST_F(TextFileTest, FailedOpenLeavesTheNumberFree) {
    struct Case {
        const char* what;
        std::string path;
        FileMode mode;
    };
    fs::create_directory(folder / "sub");
    const std::vector<Case> cases = {
        {"missing file", path("missing.txt"), FILE_READING},
        {"folder", path("sub"), FILE_READING},
        {"missing folder", path("none/out.txt"), FILE_CREATING},
        {"folder as output", path("sub"), FILE_CREATING},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(open_text_file(c.path, c.mode, 7), 2);
        EXPECT_EQ(first_free_file_number(), 1);
        EXPECT_TRUE(at_end(7));
        std::string line = "untouched";
        EXPECT_TRUE(read_text_piece(7, line, WHOLE_LINE));
        EXPECT_EQ(line, "");
        EXPECT_NE(write_text_line(7, "x"), 0);
        EXPECT_FALSE(text_file_failed(7));
        EXPECT_EQ(close_text_file(7), 0);
    }
}

TEST_F(TextFileTest, WrongDirectionDoesNothing) {
    ASSERT_EQ(open_text_file(put("line\n"), FILE_READING, 1), 0);
    ASSERT_EQ(open_text_file(path("out.txt"), FILE_CREATING, 2), 0);
    EXPECT_NE(write_text_line(1, "x"), 0);
    EXPECT_TRUE(at_end(2));
    std::string line = "untouched";
    EXPECT_TRUE(read_text_piece(2, line, WHOLE_LINE));
    EXPECT_EQ(line, "");
    EXPECT_EQ(close_text_file(1), 0);
    EXPECT_EQ(close_text_file(2), 0);
    EXPECT_EQ(bytes_of(path("in.txt")), "line\n");
    EXPECT_EQ(bytes_of(path("out.txt")), "");
}

#ifndef _WIN32
// A limit on the size of the files this process writes, lifted at the end
// of its scope; writes beyond it fail as on a full disk.
struct FileSizeLimit {
    rlimit saved{};
    void (*saved_signal)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, saved_signal);
    }
};

TEST_F(TextFileTest, FullDiskIsReportedAndSticks) {
    const FileSizeLimit full(0);
    const std::string file = path("full.txt");
    ASSERT_EQ(open_text_file(file, FILE_CREATING, 1), 0);
    EXPECT_EQ(write_text_line(1, "fits the buffer"), 0);
    EXPECT_NE(close_text_file(1), 0);

    ASSERT_EQ(open_text_file(file, FILE_CREATING, 1), 0);
    EXPECT_NE(write_text_line(1, std::string(WRITE_BUFFER_SIZE, 'x')), 0);
    EXPECT_TRUE(text_file_failed(1));
    EXPECT_NE(write_text_line(1, "y"), 0);
    EXPECT_NE(close_text_file(1), 0);
    EXPECT_FALSE(text_file_failed(1));
}

// A file size limit that is lifted again: the lines after the failed write
// could reach the disk, but the file is short and must stay reported so.
TEST_F(TextFileTest, WriteFailureSticksAfterTheCauseIsGone) {
    int first_failure = 0;
    {
        const FileSizeLimit limit(10000);
        ASSERT_EQ(open_text_file(path("short.txt"), FILE_CREATING, 1), 0);
        for (int i = 1; i <= 20 && first_failure == 0; ++i) {
            first_failure = write_text_line(1, std::string(998, 'x')) != 0 ? i : 0;
        }
    }
    EXPECT_EQ(first_failure, 17); // the second full buffer crosses the limit
    EXPECT_TRUE(text_file_failed(1));
    EXPECT_NE(write_text_line(1, "after"), 0);
    EXPECT_NE(close_text_file(1), 0);
    EXPECT_EQ(fs::file_size(path("short.txt")), 10000u);
}
#endif

// The sanitizers make every memory access several times slower, so the time
// limit below holds for the ordinary builds only.
constexpr double COPY_SECONDS_LIMIT = morv_test::SANITIZED_BUILD ? 20.0 : 2.0;

// 100 MB in 2 million lines, read and written again line by line.
TEST_F(TextFileTest, LargeFileIsCopiedLineByLineQuickly) {
    std::string block;
    for (int i = 0; i < 1000; ++i) {
        block +=
            std::string(static_cast<std::size_t>(20 + i % 61), static_cast<char>('a' + i % 26));
        block += i % 3 == 0 ? "\n" : "\r\n";
    }
    {
        std::ofstream out(path("big.txt"), std::ios::binary);
        for (int i = 0; i < 2000; ++i) {
            out << block;
        }
    }
    // Processor time, so that other work on a busy machine does not count.
    const std::clock_t start = std::clock();
    ASSERT_EQ(open_text_file(path("big.txt"), FILE_READING, 1), 0);
    ASSERT_EQ(open_text_file(path("copy.txt"), FILE_CREATING, 2), 0);
    std::string line;
    int count = 0;
    while (!at_end(1)) {
        read_text_piece(1, line, WHOLE_LINE);
        write_text_line(2, line);
        ++count;
    }
    close_text_file(1);
    ASSERT_EQ(close_text_file(2), 0);
    const double took = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_EQ(count, 2000000);
    EXPECT_EQ(fs::file_size(path("copy.txt")), fs::file_size(path("big.txt")) + 2000 * 334);
    EXPECT_LT(took, COPY_SECONDS_LIMIT);
}

} // namespace
