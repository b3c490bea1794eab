// Which first arguments are taken as --help or --version, and the line ends
// their answers get.
#include "standard_options.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

TEST(StandardOptionAnswer, OnlyTheTwoExactOptionsAreAnswered) {
    const char* const not_options[] = {"",           "--HELP",      "-h",     "/?", "--help ",
                                       " --version", "--version=1", "--vers", "-v", "DUEL01.DMO"};
    for (const char* argument : not_options) {
        EXPECT_EQ(standard_option_answer("morvmake", "Usage\n", argument, "\n"), "") << argument;
    }
}

TEST(StandardOptionAnswer, EveryLineGetsThePlatformsLineEnd) {
    EXPECT_EQ(standard_option_answer("morvplay", "a\n\nb\n", "--help", "\r\n"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(standard_option_answer("morvplay", "a\n", "--help", "\n"), "a\n");
    const std::string version = standard_option_answer("morvplay", "a\n", "--version", "\r\n");
    EXPECT_EQ(version.rfind("morvplay ", 0), 0u) << version;
    EXPECT_EQ(version.find("\r\n"), version.size() - 2) << version;
}

} // namespace
} // namespace morv
