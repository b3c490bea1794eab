// Hostile inputs end cleanly: launch scripts that are folders, binary, one
// line of 100 MB (refused, as any line over 1 MiB), NUL bytes, no line ends,
// 100,000 empty instance lines, a third of a million "&" marks; and answers of 1 MB at every prompt
// of morvmake, whose launch script morvplay then reads. Every run ends by itself with exit status
// 0, says nothing on its error stream (where the sanitizer builds report), and prints the lines the
// reading rules call for.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t HUNDRED_MB = 100u * 1024u * 1024u;
constexpr std::size_t ONE_MB = 1024u * 1024u;
// Every case here takes a few seconds (a launch attempt adds its 3 s pause);
// work that grows faster than the input does not end within this.
constexpr double RUN_SECONDS_LIMIT = 40.0;

std::size_t count_of(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

bool ends_with(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// No emulator can be found while these tests run (PATH names an empty
// folder), so every launch fails at once and nothing outlives a test.
struct HostileFolder : ::testing::Test {
    ScratchFolder folder;
    ScratchFolder empty_path;
    PathGuard path{empty_path.path.string()};

    ProgramRun play(const std::string& script) const {
        return run_program({built_program("morvplay"), script}, "", folder.path, RUN_SECONDS_LIMIT);
    }
};

void expect_clean_end(const ProgramRun& run) {
    EXPECT_FALSE(run.timed_out) << "still running after " << run.seconds << " s";
    EXPECT_EQ(run.exit_status, 0);
    EXPECT_EQ(run.errors.substr(0, 2000), "");
}

// ---- Launch scripts ------------------------------------------------------------------

// What morvplay says of a script it changes and starts nothing for.
const std::string UNREADABLE =
    "HOSTILE.MORV could not be read; nothing was changed or started.\r\n";
const std::string NOT_A_SCRIPT =
    "HOSTILE.MORV is not a launch script; nothing was changed or started.\r\n";
std::string refused(const std::string& shown_command) {
    return "HOSTILE.MORV asks the emulator to run \"" + shown_command +
           "\", which a launch script never does; nothing was changed or started.\r\n";
}

struct ScriptCase {
    const char* what;
    std::function<void(const fs::path& script)> make;
    const char* count;        // as the count line shows it; nullptr: the script is refused
    std::size_t launches;     // instance values found, each a failed launch
    std::string refusal = {}; // all that is said of a refused script
};

std::string random_bytes(std::size_t size) {
    std::mt19937 draw(7);
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(draw() & 0xFFu);
    }
    return bytes;
}

std::string empty_instance_lines(int count) {
    std::string bytes = "PLAYERS = 2\r\n---\r\n";
    for (int k = 1; k <= count; ++k) {
        bytes += "INSTANCE" + std::to_string(k % 8 + 1) + " = \r\n";
    }
    return bytes;
}

std::string ampersands(std::size_t pairs) {
    std::string bytes = "PLAYERS = 1\r\nINSTANCE1 = ";
    bytes.reserve(bytes.size() + pairs * 3 + 2);
    for (std::size_t k = 0; k < pairs; ++k) {
        bytes += "C:&";
    }
    return bytes + "\r\n";
}

const std::vector<ScriptCase> SCRIPT_CASES = {
    {"a folder", [](const fs::path& script) { fs::create_directory(script); }, nullptr, 0,
     UNREADABLE},
    {"1 MB of random bytes",
     [](const fs::path& script) { write_file(script, random_bytes(ONE_MB)); }, nullptr, 0,
     NOT_A_SCRIPT},
    {"NUL bytes inside and around lines",
     [](const fs::path& script) {
         write_file(script,
                    std::string("PLAYERS = 2\0\0junk\r\n\0INSTANCE1 = a\0b & c\0\0\r\n", 44));
     },
     nullptr, 0, refused("a^@b")},
    {"NUL bytes around the commands",
     [](const fs::path& script) {
         write_file(script, std::string("PLAYERS = 2\0\0junk\r\n\0INSTANCE1 = C:\0\0\r\n", 38));
     },
     " 2", 1},
    {"lone CRs, which end no line: the instance is behind the count's =",
     [](const fs::path& script) { write_file(script, "PLAYERS = 1\rINSTANCE1 = C:\r"); }, " 1", 0},
    {"no line end at all", [](const fs::path& script) { write_file(script, "PLAYERS = 3"); }, " 3",
     0},
    {"100,000 instance lines with empty values",
     [](const fs::path& script) { write_file(script, empty_instance_lines(100000)); }, " 2", 0},
    {"one line of 100 MB",
     [](const fs::path& script) { write_file(script, std::string(HUNDRED_MB, 'x')); }, nullptr, 0,
     UNREADABLE},
    {"a count of 100 MB of digits",
     [](const fs::path& script) {
         write_file(script, "PLAYERS = " + std::string(HUNDRED_MB, '7') + "\r\n");
     },
     nullptr, 0, UNREADABLE},
    {"a count of 1 MiB of digits, the longest line read",
     [](const fs::path& script) {
         write_file(script, "PLAYERS=" + std::string(ONE_MB - 8, '7') + "\r\n");
     },
     nullptr, 0, NOT_A_SCRIPT},
    {"an instance value of 100 MB",
     [](const fs::path& script) {
         write_file(script, "PLAYERS = 1\r\nINSTANCE1 = " + std::string(HUNDRED_MB, 'a') + "\r\n");
     },
     nullptr, 0, UNREADABLE},
    {"an instance value of a third of a million & marks",
     [](const fs::path& script) { write_file(script, ampersands(ONE_MB / 3 - 16)); }, " 1", 1},
};

TEST_F(HostileFolder, LaunchScriptsOfEveryShapeEndCleanly) {
    for (const ScriptCase& c : SCRIPT_CASES) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder.path / "HOSTILE.MORV");
        c.make(folder.path / "HOSTILE.MORV");
        write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n");
        const ProgramRun run = play("HOSTILE.MORV");
        std::cout << c.what << ": " << run.seconds << " s\n";
        expect_clean_end(run);
        if (c.count == nullptr) {
            EXPECT_EQ(run.output, c.refusal);
            EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), "NUMPLAYERS = 4\r\n");
            continue;
        }
        const std::string head =
            std::string("PLAYERS = ") + c.count + "\r\nCOMMIT.DAT updated.\r\n";
        EXPECT_EQ(run.output.substr(0, head.size()), head);
        EXPECT_TRUE(ends_with(run.output, "\r\nAll instances launched.\r\n"));
        EXPECT_EQ(count_of(run.output, "\r\nLaunching: dosbox.exe -conf dosbox.conf"), c.launches);
        EXPECT_EQ(count_of(run.output, "\r\nFailed to launch: dosbox.exe"), c.launches);
        std::string count = c.count;
        count.erase(0, count.find_first_not_of(' '));
        EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), "NUMPLAYERS = " + count + "\r\n");
    }
}

// ---- Answers of 1 MB at every prompt ---------------------------------------------------

// Two players in map mode; every answer is 1 MB long, its first byte the
// meaningful one where the prompt wants a number or a letter.
std::string megabyte_answers(char filler) {
    const std::string fill(ONE_MB, filler);
    std::string answers;
    for (const char* start : {"2", "M", "", "", "3", "", "5", "7", "1"}) {
        answers += start + fill + "\n";
    }
    return answers;
}

TEST_F(HostileFolder, AnswersOfOneMegabyteAtEveryPromptEndCleanly) {
    for (const char filler : {'"', '%', '&', '?', '*', '\\', ',', ' ', '\xE9', '\0'}) {
        SCOPED_TRACE("answers filled with byte " +
                     std::to_string(static_cast<unsigned char>(filler)));
        fs::remove(folder.path / "DUEL01.MORV");
        write_file(folder.path / "DUEL01.DMO", "demo");
        const ProgramRun made =
            run_program({built_program("morvmake"), "DUEL01.DMO"}, megabyte_answers(filler),
                        folder.path, RUN_SECONDS_LIMIT);
        expect_clean_end(made);
        EXPECT_NE(made.output.find("\r\nBANZAI!!\r\n"), std::string::npos);
        const std::string script = read_file(folder.path / "DUEL01.MORV");
        EXPECT_EQ(script.substr(0, 18), "PLAYERS = 2\r\n---\r\n");
        EXPECT_EQ(count_of(script, "\r\n"), 10U);
        EXPECT_EQ(count_of(script, "\r\nINSTANCE"), 8U);
    }
}

// Names of a million "&" marks are refused at their prompts; the script the
// run ends with starts the demo and nothing else.
TEST_F(HostileFolder, MegabyteNamesOfAmpersandsNeverReachTheScript) {
    write_file(folder.path / "DUEL01.DMO", "demo");
    write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n");
    const ProgramRun made = run_program({built_program("morvmake"), "DUEL01.DMO"},
                                        megabyte_answers('&'), folder.path, RUN_SECONDS_LIMIT);
    expect_clean_end(made);
    const std::string script = read_file(folder.path / "DUEL01.MORV");
    EXPECT_EQ(count_of(script, "&"), 6U) << "three marks between the four commands of each player";
    const ProgramRun played = play("DUEL01.MORV");
    expect_clean_end(played);
    EXPECT_EQ(count_of(played.output, "\r\nFailed to launch: dosbox.exe"), 2U);
    EXPECT_TRUE(ends_with(played.output, "\r\nAll instances launched.\r\n"));
}

} // namespace
} // namespace morv_test
