// Instance values into emulator command lines, and the pause after a launch.
#include "console.h"
#include "console_double.h"
#include "instance_launch.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace morv {
namespace {

namespace fs = std::filesystem;
using Segments = std::vector<std::string>;

struct SplitCase {
    const char* value;
    Segments segments;
    const char* command_line;
};

TEST(InstanceLaunch, ValuesSplitAtEveryAmpersandAndEmptyPiecesGiveNoOption) {
    const SplitCase cases[] = {
        {"MOUNT C . & C: & ipxnet connect localhost & ipxsetup -player 2 -nodes 2 vcommit sw.exe "
         "-dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,7,0 -name Viper",
         {"MOUNT C .", "C:", "ipxnet connect localhost",
          "ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
          "0,3,0,1,1,0,20,0,7,0 -name Viper"},
         "dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet connect localhost\" "
         "-c \"ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet "
         "0,3,0,1,1,0,20,0,7,0 -name Viper\""},
        {"sw.exe -name Big Joe",
         {"sw.exe -name Big Joe"},
         "dosbox.exe -conf dosbox.conf -c \"sw.exe -name Big Joe\""},
        {"A & & B", {"A", "", "B"}, "dosbox.exe -conf dosbox.conf -c \"A\" -c \"B\""},
        {"& A", {"", "A"}, "dosbox.exe -conf dosbox.conf -c \"A\""},
        {"A &", {"A", ""}, "dosbox.exe -conf dosbox.conf -c \"A\""},
        {"&  & &", {"", "", "", ""}, "dosbox.exe -conf dosbox.conf"},
        {"MOUNT C  . &C:",
         {"MOUNT C  .", "C:"},
         "dosbox.exe -conf dosbox.conf -c \"MOUNT C  .\" -c \"C:\""},
        {"echo \"hi\" 100% & x",
         {"echo \"hi\" 100%", "x"},
         "dosbox.exe -conf dosbox.conf -c \"echo \"hi\" 100%\" -c \"x\""},
        {"-name Tom&Jerry",
         {"-name Tom", "Jerry"},
         "dosbox.exe -conf dosbox.conf -c \"-name Tom\" -c \"Jerry\""},
        {"A\t& B", {"A\t", "B"}, "dosbox.exe -conf dosbox.conf -c \"A\t\" -c \"B\""},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(split_segments(c.value), c.segments) << c.value;
        EXPECT_EQ(compose_command_line(c.segments), c.command_line) << c.value;
    }
}

#ifndef _WIN32

// A working folder that is also the only folder on PATH, so that no installed
// emulator is started: every launch here fails and only the pause is left.
struct LaunchFolder : ::testing::Test {
    morv_test::ScratchFolder folder;
    fs::path previous_folder = fs::current_path();
    std::string previous_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    void SetUp() override {
        fs::current_path(folder.path);
        setenv("PATH", folder.path.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", previous_path.c_str(), 1);
        fs::current_path(previous_folder);
    }
};

TEST_F(LaunchFolder, AKeyCutsOnePauseShort) {
    double_reset(true);
    start_console(0, nullptr);
    double_type("x", 0.0);
    launch_instance("A");
    const double first_pause = double_clock_seconds();
    launch_instance("B");
    EXPECT_LT(first_pause, 0.1);
    EXPECT_EQ(double_clock_seconds() - first_pause, LAUNCH_PAUSE_MS / 1000.0);
}

#endif

} // namespace
} // namespace morv
