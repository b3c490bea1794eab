#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morv {
namespace {

struct SplitCase {
    const char* what;
    std::string line;
    std::vector<std::string> arguments;
};

const std::vector<SplitCase> SPLIT_CASES = {
    {"blanks separate", "p a b", {"p", "a", "b"}},
    {"tabs separate like blanks", "p\ta\t \tb", {"p", "a", "b"}},
    {"trailing blanks and tabs add nothing", "p a  \t ", {"p", "a"}},
    {"empty line still names a program", "", {""}},
    {"a leading blank leaves the program name empty", " p a", {"", "p", "a"}},
    {"quoted program name keeps its blanks",
     "\"C:\\Program Files\\dosbox.exe\" -conf x",
     {"C:\\Program Files\\dosbox.exe", "-conf", "x"}},
    {"program name takes backslash before quote literally", "dir\\\"x y\" z", {"dir\\x y", "z"}},
    {"program name quotes only switch blank handling", "\"a b\"c d", {"a bc", "d"}},
    {"backslashes not before a quote are literal", "p a\\\\b c\\", {"p", "a\\\\b", "c\\"}},
    {"2n backslashes before a quote give n and open quoting",
     "p a\\\\\\\\\"b c\"",
     {"p", "a\\\\b c"}},
    {"2n backslashes before a closing quote", "p \"a\\\\\" b", {"p", "a\\", "b"}},
    {"2n+1 backslashes before a quote give n and a literal quote",
     "p a\\\\\\\"b \\\"c",
     {"p", "a\\\"b", "\"c"}},
    {"doubled quote inside quotes is literal and stays quoted",
     "p \"a\"\"b c\" d",
     {"p", "a\"b c", "d"}},
    {"four quotes give one literal quote", "p \"\"\"\"", {"p", "\""}},
    {"doubled quote outside quotes opens and closes", "p a\"\"b", {"p", "ab"}},
    {"empty quoted arguments", "p \"\" b \"\"", {"p", "", "b", ""}},
    {"quoting joins pieces of one argument", "p a\"b c\"d e", {"p", "ab cd", "e"}},
    {"unclosed quote runs to the end", "p \"a  b", {"p", "a  b"}},
    {"a zero byte ends the line", std::string("p a\0b c", 7), {"p", "a"}},
    {"emulator line keeps each option whole",
     "dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet connect localhost\" "
     "-c \"ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -name Big Joe\"",
     {"dosbox.exe", "-conf", "dosbox.conf", "-c", "MOUNT C .", "-c", "C:", "-c",
      "ipxnet connect localhost", "-c",
      "ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -name Big Joe"}},
};

TEST(SplitCommandLine, FollowsTheRuntimeRules) {
    for (const SplitCase& c : SPLIT_CASES) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(split_command_line(c.line), c.arguments);
    }
}

} // namespace
} // namespace morv
