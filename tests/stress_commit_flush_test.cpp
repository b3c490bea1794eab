// The COMMIT.DAT update survives a crash or a power loss only when its calls
// reach the system in this order: temp.txt written, temp.txt flushed, the
// rename over COMMIT.DAT, the folder flushed. The order is read from outside,
// from strace's record of a whole morvplay run.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const char* const TRACED_CALLS =
    "trace=openat,write,fsync,fdatasync,rename,renameat,renameat2,close";

// One system call of the record: its name, its arguments and its result.
struct Call {
    std::string name;
    std::string arguments;
    long result = -1;
};

std::vector<Call> read_calls(const std::string& record) {
    // "1234  openat(AT_FDCWD, \"temp.txt\", O_WRONLY|...) = 4", the process
    // number first because of -f.
    static const std::regex CALL(R"(^(?:\d+\s+)?(\w+)\((.*)\)\s+= (-?\d+).*$)");
    std::vector<Call> calls;
    std::istringstream lines(record);
    std::string line;
    while (std::getline(lines, line)) {
        std::smatch match;
        if (std::regex_match(line, match, CALL)) {
            calls.push_back({match[1], match[2], std::stol(match[3])});
        }
    }
    return calls;
}

// The path opened, as strace quotes it: the text between the first two quotes.
std::string quoted_path(const std::string& arguments) {
    const std::size_t open = arguments.find('"');
    const std::size_t close = arguments.find('"', open + 1);
    return open == std::string::npos ? "" : arguments.substr(open + 1, close - open - 1);
}

// Where each step happened in the record; -1 when it did not.
struct Steps {
    int last_scratch_write = -1;
    int scratch_flush = -1;
    int rename = -1;
    int folder_flush = -1;
    int renames = 0;
};

Steps find_steps(const std::vector<Call>& calls) {
    std::map<long, std::string> open_paths; // descriptor -> path opened
    Steps steps;
    for (int k = 0; k < static_cast<int>(calls.size()); ++k) {
        const Call& call = calls[static_cast<std::size_t>(k)];
        const long descriptor = std::atol(call.arguments.c_str());
        const std::string path = open_paths.count(descriptor) ? open_paths[descriptor] : "";
        if (call.name == "openat" && call.result >= 0) {
            const bool folder = call.arguments.find("O_DIRECTORY") != std::string::npos;
            open_paths[call.result] = folder ? "<folder>" : quoted_path(call.arguments);
        } else if (call.name == "close") {
            open_paths.erase(descriptor);
        } else if (call.name == "write" && path == "temp.txt" && call.result > 0) {
            steps.last_scratch_write = k;
        } else if ((call.name == "fsync" || call.name == "fdatasync") && call.result == 0) {
            if (path == "temp.txt" && steps.rename < 0) {
                steps.scratch_flush = k;
            } else if (path == "<folder>" && steps.rename >= 0 && steps.folder_flush < 0) {
                steps.folder_flush = k;
            }
        } else if (call.name.rfind("rename", 0) == 0 &&
                   call.arguments.find("\"temp.txt\"") != std::string::npos &&
                   call.arguments.find("\"COMMIT.DAT\"") != std::string::npos) {
            ++steps.renames;
            steps.rename = call.result == 0 ? k : steps.rename;
        }
    }
    return steps;
}

TEST(StressCommitFlush, TempTxtIsWrittenAndFlushedBeforeTheRenameAndTheFolderAfterIt) {
    if (run_program({"strace", "-V"}, "", fs::current_path()).exit_status != 0) {
        GTEST_SKIP() << "strace is not installed";
    }
    ScratchFolder folder;
    ScratchFolder record_folder; // the record stays out of the game's folder
    std::string before = "[network]\r\nNUMPLAYERS = 4\r\n";
    for (int k = 0; k < 5000; ++k) {
        before += "SETTING" + std::to_string(k) + " = some value of the game\r\n";
    }
    write_file(folder.path / "COMMIT.DAT", before);
    write_file(folder.path / "P.MORV", "PLAYERS = 3\r\n");
    const std::string record = (record_folder.path / "strace.txt").string();
    // The leak check of a sanitizer build cannot run under strace; the
    // other tests run it.
    const ProgramRun run =
        run_program({"strace", "-f", "-o", record, "-e", TRACED_CALLS, "-E",
                     "ASAN_OPTIONS=detect_leaks=0", built_program("morvplay"), "P.MORV"},
                    "", folder.path);
    ASSERT_EQ(run.exit_status, 0) << run.errors;
    EXPECT_EQ(run.output, "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n");
    std::string after = before;
    after.replace(after.find("NUMPLAYERS = 4"), 14, "NUMPLAYERS = 3");
    EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), after);

    const std::vector<Call> calls = read_calls(read_file(record));
    ASSERT_GT(calls.size(), 10U) << "strace recorded nothing readable";
    const Steps steps = find_steps(calls);
    EXPECT_EQ(steps.renames, 1);
    ASSERT_GE(steps.last_scratch_write, 0) << "temp.txt was never written";
    EXPECT_GT(steps.scratch_flush, steps.last_scratch_write)
        << "temp.txt was not flushed after its last write";
    EXPECT_GT(steps.rename, steps.scratch_flush) << "the rename came before temp.txt's flush";
    EXPECT_GT(steps.folder_flush, steps.rename) << "the folder was not flushed after the rename";
}

} // namespace
} // namespace morv_test
