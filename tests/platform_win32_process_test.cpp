// Starting the emulator on Windows: the stand-in dosbox.exe (built beside this
// test, where the system looks first) records the raw command line it got and
// the arguments its C runtime made of it, in the working folder it started in.
#include "command_line.h"
#include "platform_process.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace morv {
namespace {

namespace fs = std::filesystem;

struct LaunchCase {
    const char* command_line;
    std::vector<std::string> arguments; // after the program's own name
};

// The stand-in appends these; a start is complete once its line is there.
constexpr const char* ARGUMENT_LOG = "launches.log";
constexpr const char* LINE_LOG = "command_lines.log";

std::string bytes_of(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The stand-in writes the arguments first and the command line last.
bool wait_for_line_log() {
    for (int tries = 0; tries < 1000; ++tries) {
        if (!bytes_of(LINE_LOG).empty()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string argument_record(const std::vector<std::string>& arguments) {
    std::string record;
    for (const std::string& argument : arguments) {
        record += argument + "\n";
    }
    return record + "----\n";
}

class Win32ProcessTest : public testing::Test {
  protected:
    void SetUp() override {
        previous = fs::current_path();
        fs::current_path(folder.path);
    }
    void TearDown() override { fs::current_path(previous); }
    fs::path previous;
    morv_test::ScratchFolder folder{"morv_win32_process_"};
};

TEST_F(Win32ProcessTest, TheEmulatorGetsTheLineUnchangedAndItsRuntimeSplitsIt) {
    const std::vector<LaunchCase> cases = {
        {"dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet connect "
         "localhost\" -c \"ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map "
         "ARENA.map -autonet 0,3,0,1,1,0,20,0,7,0 -name Viper\"",
         {"-conf", "dosbox.conf", "-c", "MOUNT C .", "-c", "C:", "-c", "ipxnet connect localhost",
          "-c",
          "ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
          "0,3,0,1,1,0,20,0,7,0 -name Viper"}},
        {"dosbox.exe -conf dosbox.conf", {"-conf", "dosbox.conf"}},
        {"dosbox.exe -conf dosbox.conf -c \"MOUNT C  .\" -c \"-name Big Joe\"",
         {"-conf", "dosbox.conf", "-c", "MOUNT C  .", "-c", "-name Big Joe"}},
        // A quote inside a command ends the quoted stretch; nothing is escaped.
        {"dosbox.exe -conf dosbox.conf -c \"say \"hi\" 100% %PATH%\" -c \"x=1\"",
         {"-conf", "dosbox.conf", "-c", "say hi 100% %PATH%", "-c", "x=1"}},
        {"dosbox.exe -c \"C:\\GAMES\\\" -c \"a\\\\\\\"b\" *.DMO",
         {"-c", "C:\\GAMES\" -c a\\\"b *.DMO"}},
        // Wildcards reach the emulator as typed, as from any Windows runtime.
        {"dosbox.exe -c *.DMO", {"-c", "*.DMO"}},
    };
    std::ofstream(folder.path / "DUEL01.DMO") << "demo";
    for (const LaunchCase& c : cases) {
        SCOPED_TRACE(c.command_line);
        fs::remove(ARGUMENT_LOG);
        fs::remove(LINE_LOG);
        ASSERT_EQ(platform_start_process(c.command_line), 0);
        ASSERT_TRUE(wait_for_line_log());
        EXPECT_EQ(bytes_of(LINE_LOG), std::string(c.command_line) + "\n");
        EXPECT_EQ(bytes_of(ARGUMENT_LOG), argument_record(c.arguments));
        // The rules the launcher keeps for other systems agree with the runtime.
        const std::vector<std::string> split = split_command_line(c.command_line);
        EXPECT_EQ(std::vector<std::string>(split.begin() + 1, split.end()), c.arguments);
    }
}

TEST_F(Win32ProcessTest, AProgramThatCannotBeFoundIsReportedAndNothingRuns) {
    const char* const missing[] = {
        "no_such_emulator.exe -conf dosbox.conf",
        "\"folder that is not there\\dosbox.exe\" -conf dosbox.conf",
        "",
    };
    for (const char* command_line : missing) {
        SCOPED_TRACE(command_line);
        EXPECT_NE(platform_start_process(command_line), 0);
    }
    // A start that was wrongly reported as failed would leave its logs here.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(fs::is_empty(folder.path));
}

} // namespace
} // namespace morv
