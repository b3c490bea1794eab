// --help and --version of both programs, run as a user or a package tool
// would: one answer, status 0 at once, and the game's folder left exactly as
// it was (these names were once taken as a demo or a launch script).
#include "program_runner.h"
#include "version.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <ostream>
#include <vector>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

// Every file and folder under root with its bytes and modification time.
std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).generic_string();
        const auto stamp = entry.last_write_time().time_since_epoch().count();
        entries[name] =
            (entry.is_regular_file() ? read_file(entry.path()) : std::string("<folder>")) + "@" +
            std::to_string(stamp);
    }
    return entries;
}

std::string first_line(const std::string& output) {
    std::string line = output.substr(0, output.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

struct OptionCase {
    const char* name;
    const char* program;
    std::vector<std::string> arguments;
    std::string first_line;
};

void PrintTo(const OptionCase& c, std::ostream* out) {
    *out << c.name;
}

bool windows_programs() {
    return std::getenv("MORV_TEST_EMULATOR") != nullptr;
}

class StandardOption : public ::testing::TestWithParam<OptionCase> {};

TEST_P(StandardOption, AnswersAtOnceAndLeavesTheFolderAsItWas) {
    const OptionCase& c = GetParam();
    ScratchFolder folder;
    write_file(folder.path / "COMMIT.DAT", "[net]\r\nNUMPLAYERS = 4\r\n");
    write_file(folder.path / "DUEL01.DMO", std::string("demo\0bytes", 10));
    write_file(folder.path / "DUEL01.MORV", "PLAYERS = 2\r\n");
    const auto before = snapshot(folder.path);

    std::vector<std::string> command = {built_program(c.program)};
    command.insert(command.end(), c.arguments.begin(), c.arguments.end());
    const ProgramRun run = run_program(command, "", folder.path, 10.0);

    EXPECT_FALSE(run.timed_out);
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(first_line(run.output), c.first_line);
    EXPECT_EQ(run.errors, "");
    EXPECT_EQ(snapshot(folder.path), before);
}

const std::string MAKE_USAGE = "Usage: morvmake [DEMO]";
const std::string PLAY_USAGE = "Usage: morvplay SCRIPT";

// -h and, on Windows, /? say the same as --help, but only alone: with more
// arguments, or /? on Linux, they are the file argument as any other name.
INSTANTIATE_TEST_SUITE_P(
    BothPrograms, StandardOption,
    ::testing::Values(
        OptionCase{"make_version",
                   "morvmake",
                   {"--version"},
                   std::string("morvmake (morv) ") + morv::VERSION_TEXT},
        OptionCase{"play_version",
                   "morvplay",
                   {"--version"},
                   std::string("morvplay (morv) ") + morv::VERSION_TEXT},
        OptionCase{"make_help", "morvmake", {"--help"}, MAKE_USAGE},
        OptionCase{"play_help", "morvplay", {"--help"}, PLAY_USAGE},
        OptionCase{"make_h", "morvmake", {"-h"}, MAKE_USAGE},
        OptionCase{"play_h", "morvplay", {"-h"}, PLAY_USAGE},
        OptionCase{"make_slash",
                   "morvmake",
                   {"/?"},
                   windows_programs() ? MAKE_USAGE : "=== That's no ordinary .MORV! ==="},
        OptionCase{"play_slash",
                   "morvplay",
                   {"/?"},
                   windows_programs() ? PLAY_USAGE
                                      : "/? could not be read; nothing was changed or started."},
        OptionCase{"play_h_not_alone",
                   "morvplay",
                   {"-h", "DUEL01.MORV"},
                   "-h could not be read; nothing was changed or started."}),
    [](const ::testing::TestParamInfo<OptionCase>& param_info) { return param_info.param.name; });

TEST(StandardOption, VersionGivesTheLicenceAndHelpSaysHowToRun) {
    ScratchFolder folder;
    const ProgramRun version =
        run_program({built_program("morvplay"), "--version"}, "", folder.path);
    for (const char* phrase :
         {"\nCopyright (c) 2026 the morv developers", "\nLicense MIT", "NO WARRANTY"}) {
        EXPECT_NE(version.output.find(phrase), std::string::npos) << version.output;
    }
    for (const char* program : {"morvmake", "morvplay"}) {
        const ProgramRun help = run_program({built_program(program), "--help"}, "", folder.path);
        for (const char* phrase : {"--version", "game's folder", "a key", "report bugs"}) {
            EXPECT_NE(help.output.find(phrase), std::string::npos) << program << ": " << phrase;
        }
    }
}

// Anything else stays the program's file argument, as before: a launch
// script named like an option that does not exist is read as a script.
TEST(StandardOption, OtherDashNamesAreStillPaths) {
    ScratchFolder folder;
    write_file(folder.path / "--versions", "PLAYERS = 3\r\n");
    write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 1\r\n");
    const ProgramRun run = run_program({built_program("morvplay"), "--versions"}, "", folder.path);
    EXPECT_EQ(first_line(run.output), "PLAYERS =  3");
    EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), "NUMPLAYERS = 3\r\n");
}

} // namespace
} // namespace morv_test
