#include "launch_commands.h"

#include <gtest/gtest.h>

#include <string>

namespace morv {
namespace {

TEST(LaunchCommands, OnlyTheCommandsADemoNeedsAreLaunchCommands) {
    const std::pair<std::string, bool> cases[] = {
        {"MOUNT C .", true},
        {"mount   c  .", true},
        {"Mount C .", true},
        {"C:", true},
        {"c:", true},
        {"ipxnet startserver", true},
        {"IPXNET CONNECT localhost", true},
        {"ipxnet connect 192.168.0.2:213", true},
        {"ipxnet connect my-host.lan", true},
        {"ipxsetup", true},
        {"ipxsetup -player 1 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map "
         "-autonet 0,3,0,1,1,0,20,0,3,0 -name Big Joe",
         true},
        {"ipxsetup -name Jos\x82 %PATH% 100% $HOME `id`", true},
        {"MOUNT D /", false},
        {"MOUNT C /", false},
        {"MOUNT C ..", false},
        {"MOUNT C . -t cdrom", false},
        {"MOUNT", false},
        {"D:", false},
        {"C:\\", false},
        {"DEL X", false},
        {"IMGMOUNT C disk.img", false},
        {"CONFIG -set cpu cycles=max", false},
        {"BOOT disk.img", false},
        {"ipxnet", false},
        {"ipxnet connect", false},
        {"ipxnet connect a b", false},
        {"ipxnet connect a;b", false},
        {"ipxnet startserver 213", false},
        {"ipxsetupx", false},
        {"ipxsetup -name x\" -conf other.conf", false},
        {"ipxsetup -name x > SW.EXE", false},
        {"ipxsetup -name x < NUL", false},
        {"ipxsetup -name x | DEL", false},
        {"ipxsetup -name x\rDEL", false},
        {"ipxsetup -name \x1b[2J", false},
        {"ipxsetup\t-name x", false},
        {"ipxsetup -name x\x7f", false},
        {std::string("ipxsetup -name a\0b", 18), false},
        {"", false},
    };
    for (const auto& [segment, accepted] : cases) {
        EXPECT_EQ(is_launch_command(segment), accepted) << caret_notation(segment);
    }
}

TEST(LaunchCommands, NamesFitWithoutMarksOrControlCharacters) {
    for (const std::string fits :
         {"", "Big Joe", "Jos\x82", "a=b", "100%", "C:\\GAMES\\", "\xff"}) {
        EXPECT_TRUE(fits_launch_script(fits)) << fits;
    }
    for (const std::string unfit : {"R&D", "a\"b", "<", ">", "|", "\x01", "a\x1f", "\x7f", "\r"}) {
        EXPECT_FALSE(fits_launch_script(unfit)) << caret_notation(unfit);
    }
}

TEST(LaunchCommands, ControlCharactersAreShownInCaretNotation) {
    const std::pair<std::string, std::string> cases[] = {
        {"MOUNT C .", "MOUNT C ."}, {"\x1b[2J", "^[[2J"},
        {"a\rb\n", "a^Mb^J"},       {std::string("\0\x1f\x7f", 3), "^@^_^?"},
        {"\xe9\x80", "\xe9\x80"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(caret_notation(text), shown);
    }
}

} // namespace
} // namespace morv
