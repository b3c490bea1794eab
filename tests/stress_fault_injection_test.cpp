// One fault of each class injected by strace into the calls on one file of
// a morvplay run: read errors in either pass over the launch script and in
// COMMIT.DAT, a full disk under temp.txt, and interrupted calls. Every fault
// is told as itself, changes nothing it should not, and leaves no partial
// temp.txt; an interrupted call is simply made again.
#include "program_runner.h"

#include <gtest/gtest.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

const std::string BEFORE = "[network]\r\nNUMPLAYERS = 4\r\n";
const std::string AFTER = "[network]\r\nNUMPLAYERS = 3\r\n";

struct Fault {
    const char* what;
    const char* file;   // the calls on this file only
    const char* inject; // strace's fault expression
    const char* output;
    const std::string& commit_after;
};

const Fault FAULTS[] = {
    {"a read error in the first pass", "P.MORV", "read:error=EIO:when=1",
     "P.MORV could not be read; nothing was changed or started.\r\n", BEFORE},
    {"a read error in the second pass", "P.MORV", "read:error=EIO:when=3",
     "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\n"
     "P.MORV could not be read to its end; no further instance was started.\r\n",
     AFTER},
    {"a read error in COMMIT.DAT", "COMMIT.DAT", "read:error=EIO:when=1",
     "PLAYERS =  3\r\nCOMMIT.DAT could not be read and was left as it was.\r\n"
     "All instances launched.\r\n",
     BEFORE},
    {"a full disk under temp.txt", "temp.txt", "write:error=ENOSPC:when=1",
     "PLAYERS =  3\r\ntemp.txt could not be written; COMMIT.DAT was left as it was.\r\n"
     "All instances launched.\r\n",
     BEFORE},
    {"interrupted opens and reads of the script", "P.MORV", "openat,read:error=EINTR:when=1+2",
     "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n", AFTER},
    {"interrupted opens, reads and writes of the copy", "temp.txt",
     "openat,read,write:error=EINTR:when=1+2",
     "PLAYERS =  3\r\nCOMMIT.DAT updated.\r\nAll instances launched.\r\n", AFTER},
};

TEST(StressFaultInjection, EachFaultIsToldAsItselfAndChangesNothingElse) {
    if (run_program({"strace", "-V"}, "", fs::current_path()).exit_status != 0) {
        GTEST_SKIP() << "strace is not installed";
    }
    for (const Fault& fault : FAULTS) {
        SCOPED_TRACE(fault.what);
        ScratchFolder folder;
        write_file(folder.path / "COMMIT.DAT", BEFORE);
        write_file(folder.path / "P.MORV", "PLAYERS = 3\r\n");
        const ProgramRun run = run_program(
            {"strace", "-f", "-o", "/dev/null", "-P", (folder.path / fault.file).string(), "-e",
             std::string("inject=") + fault.inject, "-E", "ASAN_OPTIONS=detect_leaks=0",
             built_program("morvplay"), "P.MORV"},
            "", folder.path);
        EXPECT_EQ(run.exit_status, 0) << run.errors;
        EXPECT_EQ(run.output, fault.output);
        EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), fault.commit_after);
        EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"COMMIT.DAT", "P.MORV"}));
    }
}

} // namespace
} // namespace morv_test
