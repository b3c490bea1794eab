// Which first arguments are taken as --help or --version, and the line ends
// their answers get.
#include "standard_options.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

struct RequestCase {
    const char* first;
    const char* second;
    const char* help_switch;
    const char* option;
};

TEST(RequestedStandardOption, OnlyTheExactWordsAskAndTheShortOnesOnlyAlone) {
    const RequestCase cases[] = {
        {"--help", "", "", "--help"},
        {"--version", "x.dmo", "", "--version"},
        {"-h", "", "", "--help"},
        {"-h", "", "/?", "--help"},
        {"/?", "", "/?", "--help"},
        {"/?", "", "", ""},
        {"-h", "x.dmo", "/?", ""},
        {"/?", "x.dmo", "/?", ""},
        {"", "", "", ""},
        {"-H", "", "/?", ""},
        {"/h", "", "/?", ""},
        {"--HELP", "", "", ""},
        {"--help ", "", "", ""},
        {" --version", "", "", ""},
        {"--version=1", "", "", ""},
        {"--vers", "", "", ""},
        {"-v", "", "", ""},
        {"DUEL01.DMO", "", "/?", ""},
    };
    for (const RequestCase& c : cases) {
        EXPECT_EQ(requested_standard_option(c.first, c.second, c.help_switch), c.option)
            << c.first << " " << c.second << " " << c.help_switch;
    }
    EXPECT_EQ(standard_option_answer("morvmake", "Usage\n", "", "\n"), "");
}

TEST(StandardOptionAnswer, EveryLineGetsThePlatformsLineEnd) {
    const std::string help = standard_option_answer("morvplay", "a\n\nb\n", "--help", "\r\n");
    EXPECT_EQ(help.rfind("a\r\n\r\nb\r\n", 0), 0u) << help;
    EXPECT_EQ(standard_option_answer("morvplay", "a\n", "--help", "\n").rfind("a\n", 0), 0u);
    const std::string version = standard_option_answer("morvplay", "a\n", "--version", "\r\n");
    EXPECT_EQ(version.rfind("morvplay (morv) ", 0), 0u) << version;
    for (const std::string& answer : {help, version}) {
        std::size_t lf = 0;
        while ((lf = answer.find('\n', lf + 1)) != std::string::npos) {
            EXPECT_EQ(answer[lf - 1], '\r') << answer;
        }
        EXPECT_EQ(answer.substr(answer.size() - 2), "\r\n") << answer;
    }
}

} // namespace
} // namespace morv
