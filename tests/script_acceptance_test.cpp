// Every launch script morvmake writes is one morvplay accepts: random answers
// from the whole byte range at the name, map and level prompts (those a
// launch script cannot hold refused and answered again), the script written,
// read by the launcher's first pass, and each instance composed into the
// command line whose arguments are exactly the script's commands.
#include "command_line.h"
#include "console.h"
#include "console_double.h"
#include "field.h"
#include "instance_launch.h"
#include "launch_script.h"
#include "launcher_run.h"
#include "match_setup.h"
#include "scratch_folder.h"
#include "script_lines.h"
#include "text.h"
#include "text_file.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace morv {
namespace {

namespace fs = std::filesystem;

// A typed line of up to 12 bytes of any value but the line ends and Ctrl+Z.
std::string random_line(std::mt19937& random) {
    std::string line(random() % 13, ' ');
    for (char& byte : line) {
        do {
            byte = static_cast<char>(random() % 256);
        } while (byte == '\n' || byte == '\r' || byte == '\x1a');
    }
    return line;
}

bool refused_at_prompt(const std::string& answer) {
    return answer.find_first_of(std::string("&\"<>|\x7f", 6)) != std::string::npos ||
           std::any_of(answer.begin(), answer.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x20; });
}

// A random answer; when the prompt refuses it, the same without what it
// cannot hold follows as the next line.
std::string answer_lines(std::mt19937& random, bool field) {
    const std::string line = random_line(random);
    const std::string taken = field ? first_field(line) : line;
    if (!refused_at_prompt(taken)) {
        return line + "\n";
    }
    std::string fitting;
    for (const char byte : taken) {
        fitting += refused_at_prompt(std::string(1, byte)) ? 'x' : byte;
    }
    return line + "\n" + fitting + "\n";
}

TEST(ScriptAcceptance, EveryScriptTheGeneratorWritesStartsExactlyItsCommands) {
    morv_test::ScratchFolder scratch("morv-acceptance-");
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.path);
    std::mt19937 random(20261208);
    for (int round = 0; round < 300; ++round) {
        const int players = static_cast<int>(random() % 8) + 1;
        const bool map = random() % 2 == 0;
        std::string typed = std::to_string(players) + (map ? "\nM\n" : "\nL\n");
        typed += answer_lines(random, true);
        for (int k = 0; k < players; ++k) {
            typed += answer_lines(random, false) + "3\n";
        }
        double_reset(false);
        start_console(0, nullptr);
        double_type(typed);
        GeneratorRun run;
        run.demo_name = "DUEL01.DMO";
        run.script_name = "DUEL01.MORV";
        run_match_setup(run);
        ASSERT_FALSE(console_input_ended()) << typed;
        write_launch_script(run);

        std::int32_t count = 0;
        std::string refused;
        ASSERT_EQ(read_player_count("DUEL01.MORV", count, refused), SCRIPT_ACCEPTED)
            << refused << " in\n"
            << typed;
        EXPECT_EQ(count, players);
        for (int number = 1; number <= players; ++number) {
            const std::string value = compose_instance_value(run, number);
            std::vector<std::string> expected = {"dosbox.exe", "-conf", "dosbox.conf"};
            for (const std::string& segment : split_segments(value)) {
                expected.insert(expected.end(), {"-c", segment});
            }
            EXPECT_EQ(split_command_line(compose_command_line(split_segments(value))), expected);
            const std::string name = " -name " + player_slot(run, number).name;
            EXPECT_EQ(expected.back().substr(expected.back().size() - name.size()), name);
        }
    }
    fs::current_path(previous);
}

} // namespace
} // namespace morv
