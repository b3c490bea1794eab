#include "platform_process.h"
#include "program_runner.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace morv {
namespace {

namespace fs = std::filesystem;

// Records what it was given, then renames its reports into place so that the
// test never reads half of one. Its output goes nowhere so that it holds no
// pipe of the test runner open.
const char* const STAND_IN = R"SH(#!/bin/sh
exec >/dev/null 2>&1
for a in "$@"; do printf '%s\n' "$a"; done > args.tmp
{
    echo "who=$0"
    echo "pid=$$"
    echo "pwd=$(pwd -P)"
    echo "probe=$MORV_PROBE"
    grep '^Sig' /proc/$$/status | tr -d ' \t' | tr ':' '='
    if [ -e /proc/$$/fd/200 ]; then echo "fd200=open"; fi
} > facts.tmp
mv args.tmp args.txt
mv facts.tmp facts.txt
)SH";

const int INHERITED_FD = 200;

void write_file(const fs::path& path, const std::string& text, fs::perms mode) {
    if (path.has_parent_path()) {
        fs::create_directories(path.parent_path());
    }
    std::ofstream(path, std::ios::binary) << text;
    fs::permissions(path, mode);
}

void write_stand_in(const fs::path& path, fs::perms mode = fs::perms::owner_all) {
    write_file(path, STAND_IN, mode);
}

bool wait_for_file(const fs::path& path) {
    for (int tries = 0; tries < 500; ++tries) {
        if (fs::exists(path)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::vector<std::string> read_lines(const fs::path& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::map<std::string, std::string> read_facts() {
    std::map<std::string, std::string> facts;
    for (const std::string& line : read_lines("facts.txt")) {
        const std::size_t equals = line.find('=');
        facts[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return facts;
}

bool signal_in_mask(const std::string& hex_mask, int signal_number) {
    const unsigned long long mask = std::strtoull(hex_mask.c_str(), nullptr, 16);
    return ((mask >> (signal_number - 1)) & 1U) != 0;
}

// True when this process has no child at all, running or ended unreaped.
bool has_no_children() {
    int status = 0;
    return waitpid(-1, &status, WNOHANG) == -1 && errno == ECHILD;
}

class PlatformPosixProcess : public ::testing::Test {
  protected:
    void SetUp() override {
        old_folder_ = fs::current_path();
        link_tools();
        enter_fresh_folder("main");
        put_on_path({});
    }

    void TearDown() override {
        unsetenv("MORV_PROBE");
        std::signal(SIGUSR1, SIG_DFL);
        std::signal(SIGCHLD, SIG_DFL);
        sigset_t usr2;
        sigemptyset(&usr2);
        sigaddset(&usr2, SIGUSR2);
        sigprocmask(SIG_UNBLOCK, &usr2, nullptr);
        close(INHERITED_FD);
        fs::current_path(old_folder_);
    }

    void enter_fresh_folder(const std::string& name) {
        const fs::path folder = root_ / name;
        fs::create_directories(folder);
        fs::current_path(folder);
    }

    // The system's PATH may hold a real emulator that a faulty lookup would
    // start; PATH here offers only the tools that the stand-ins use, and touch,
    // so that a shell that wrongly ran an argument would leave its mark.
    void link_tools() {
        fs::create_directories(root_ / "tools");
        for (const char* tool : {"grep", "tr", "mv", "sleep", "touch"}) {
            std::string folders = path_.previous + ":";
            for (std::size_t colon; (colon = folders.find(':')) != std::string::npos;) {
                const fs::path candidate = fs::path(folders.substr(0, colon)) / tool;
                folders.erase(0, colon + 1);
                if (colon > 0 && fs::exists(candidate)) {
                    fs::create_symlink(candidate, root_ / "tools" / tool);
                    break;
                }
            }
        }
    }

    void put_on_path(const std::vector<std::string>& folders) {
        std::string path;
        for (const std::string& folder : folders) {
            path += (fs::current_path() / folder).string() + ":";
        }
        setenv("PATH", (path + (root_ / "tools").string()).c_str(), 1);
    }

    morv_test::ScratchFolder scratch_{"morv_process_"};
    const fs::path root_ = fs::canonical(scratch_.path);
    morv_test::PathGuard path_{(root_ / "tools").string()};
    fs::path old_folder_;
};

TEST_F(PlatformPosixProcess, ChildGetsTheSplitArgumentsEnvironmentAndFolder) {
    write_stand_in("dosbox.exe");
    setenv("MORV_PROBE", "probe value", 1);
    const std::string line = "dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" "
                             "-c \"ipxnet connect localhost\" -c \"ipxsetup -player 2 -name Big "
                             "Joe\" a\\\\\\\"b \"\" \t%PATH%";
    ASSERT_EQ(platform_start_process(line), 0);
    EXPECT_TRUE(has_no_children());
    ASSERT_TRUE(wait_for_file("facts.txt"));

    const std::vector<std::string> expected = {"-conf",  "dosbox.conf",
                                               "-c",     "MOUNT C .",
                                               "-c",     "C:",
                                               "-c",     "ipxnet connect localhost",
                                               "-c",     "ipxsetup -player 2 -name Big Joe",
                                               "a\\\"b", "",
                                               "%PATH%"};
    EXPECT_EQ(read_lines("args.txt"), expected);
    std::map<std::string, std::string> facts = read_facts();
    EXPECT_TRUE(fs::equivalent(facts["who"], "dosbox.exe"));
    EXPECT_EQ(facts["pwd"], fs::current_path().string());
    EXPECT_EQ(facts["probe"], "probe value");
    const pid_t pid = std::atoi(facts["pid"].c_str());
    EXPECT_NE(pid, getpid());
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), -1) << "the program must not be our child";
}

// SIGCHLD ignored too, as a launcher started by a program that ignores it
// finds it: the start is still seen to succeed.
TEST_F(PlatformPosixProcess, ChildStartsWithDefaultSignalsAndNoLauncherFiles) {
    write_stand_in("dosbox.exe");
    std::signal(SIGUSR1, SIG_IGN);
    std::signal(SIGCHLD, SIG_IGN);
    sigset_t usr2;
    sigemptyset(&usr2);
    sigaddset(&usr2, SIGUSR2);
    sigprocmask(SIG_BLOCK, &usr2, nullptr);
    const int file = open("launch.MORV", O_CREAT | O_WRONLY, 0600);
    ASSERT_EQ(dup2(file, INHERITED_FD), INHERITED_FD);
    close(file);

    ASSERT_EQ(platform_start_process("dosbox.exe"), 0);
    EXPECT_EQ(std::signal(SIGCHLD, SIG_DFL), SIG_IGN) << "the launcher's own choice stays";
    ASSERT_TRUE(wait_for_file("facts.txt"));
    std::map<std::string, std::string> facts = read_facts();
    ASSERT_EQ(facts.count("SigIgn"), 1U);
    ASSERT_EQ(facts.count("SigBlk"), 1U);
    EXPECT_FALSE(signal_in_mask(facts["SigIgn"], SIGUSR1));
    EXPECT_FALSE(signal_in_mask(facts["SigIgn"], SIGCHLD));
    EXPECT_FALSE(signal_in_mask(facts["SigBlk"], SIGUSR2));
    EXPECT_EQ(facts.count("fd200"), 0U);
    EXPECT_EQ(read_lines("args.txt"), std::vector<std::string>{});
}

struct LookupCase {
    const char* what;
    std::vector<std::string> programs;
    std::string not_executable;
    std::string command_line;
    std::string expected;
};

TEST_F(PlatformPosixProcess, ProgramIsLookedUpAsOnWindows) {
    const std::vector<LookupCase> cases = {
        {"working folder before PATH",
         {"dosbox.exe", "bin/dosbox.exe"},
         "",
         "dosbox.exe",
         "dosbox.exe"},
        {"PATH without the .exe ending", {"bin/dosbox"}, "", "dosbox.exe x", "bin/dosbox"},
        {"ending in any case", {"bin/dosbox"}, "", "dosbox.EXE", "bin/dosbox"},
        {"exact name anywhere on PATH first",
         {"bin/dosbox", "bin2/dosbox.exe"},
         "",
         "dosbox.exe",
         "bin2/dosbox.exe"},
        {"backslash separates folders",
         {"sub/dosbox.exe", "dosbox.exe"},
         "",
         "sub\\dosbox.exe",
         "sub/dosbox.exe"},
        {"quoted path with a blank",
         {"my games/dosbox.exe"},
         "",
         "\"my games\\dosbox.exe\" x",
         "my games/dosbox.exe"},
        {"a file that cannot run is passed over",
         {"bin/dosbox"},
         "dosbox.exe",
         "dosbox.exe",
         "bin/dosbox"},
    };
    int row = 0;
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.what);
        enter_fresh_folder("lookup" + std::to_string(++row));
        for (const std::string& program : c.programs) {
            write_stand_in(program);
        }
        if (!c.not_executable.empty()) {
            write_stand_in(c.not_executable, fs::perms::owner_read | fs::perms::owner_write);
        }
        put_on_path({"bin", "bin2"});
        ASSERT_EQ(platform_start_process(c.command_line), 0);
        ASSERT_TRUE(wait_for_file("facts.txt"));
        EXPECT_TRUE(fs::equivalent(read_facts()["who"], c.expected));
    }
}

// A game folder copied from Windows holds the emulator's Windows build.
TEST_F(PlatformPosixProcess, AWindowsBuildUnderTheExactNameGivesWayToTheInstalledProgram) {
    enter_fresh_folder("windows-build");
    write_file("dosbox.exe", std::string("MZ\x90\x00 a Windows program", 22), fs::perms::owner_all);
    write_stand_in("bin/dosbox");
    put_on_path({"bin"});
    ASSERT_EQ(platform_start_process("dosbox.exe -conf dosbox.conf"), 0);
    ASSERT_TRUE(wait_for_file("facts.txt"));
    EXPECT_TRUE(fs::equivalent(read_facts()["who"], "bin/dosbox"));
}

struct NameCase {
    const char* what;
    std::string link;
    std::string name;
    std::string argv0;
};

// The shell stands in here because "sh -c" shows its own argv[0] as $0.
TEST_F(PlatformPosixProcess, ChildSeesTheProgramNameAsWritten) {
    const std::vector<NameCase> cases = {
        {"name with a backslash path", "sub/dosbox.exe", "sub\\dosbox.exe", "sub\\dosbox.exe"},
        {"name found on PATH without its ending", "bin/dosbox", "dosbox.exe", "dosbox.exe"},
        {"quoted name", "my games/dosbox.exe", "\"my games\\dosbox.exe\"", "my games\\dosbox.exe"},
    };
    int row = 0;
    for (const NameCase& c : cases) {
        SCOPED_TRACE(c.what);
        enter_fresh_folder("name" + std::to_string(++row));
        fs::create_directories(fs::path(c.link).parent_path());
        fs::create_symlink("/bin/sh", c.link);
        put_on_path({"bin"});
        const std::string script = "printf '%s' \\\"$0\\\" > name.tmp && mv name.tmp name.txt";
        ASSERT_EQ(platform_start_process(c.name + " -c \"" + script + "\""), 0);
        ASSERT_TRUE(wait_for_file("name.txt"));
        EXPECT_EQ(read_lines("name.txt"), std::vector<std::string>{c.argv0});
    }
}

struct FailureCase {
    const char* what;
    std::string file;
    std::string content;
    fs::perms mode;
    std::string command_line;
};

TEST_F(PlatformPosixProcess, FailureIsReportedBeforeReturning) {
    const fs::perms rw = fs::perms::owner_read | fs::perms::owner_write;
    const std::vector<FailureCase> cases = {
        {"missing program", "", "", rw, "morv-missing-program.exe -conf dosbox.conf"},
        {"empty command line", "", "", rw, ""},
        {"missing path", "", "", rw, "sub\\morv-missing.exe"},
        {"no execute permission", "plain.exe", STAND_IN, rw, "plain.exe"},
        {"not a program", "garbage.exe", "\x01\x02 not a program\n", fs::perms::owner_all,
         "garbage.exe"},
        {"missing interpreter", "orphan.exe", "#!/morv/missing/interpreter\n", fs::perms::owner_all,
         "orphan.exe"},
        // 32767 characters: one more than Windows accepts.
        {"a line longer than Windows accepts", "dosbox.exe", STAND_IN, fs::perms::owner_all,
         "dosbox.exe -c \"" + std::string(32751, 'a') + "\""},
    };
    int row = 0;
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        enter_fresh_folder("failure" + std::to_string(++row));
        if (!c.file.empty()) {
            write_file(c.file, c.content, c.mode);
        }
        put_on_path({"bin"});
        EXPECT_NE(platform_start_process(c.command_line), 0);
        EXPECT_TRUE(has_no_children());
    }
    fs::create_directories("folder.exe");
    EXPECT_NE(platform_start_process("folder.exe"), 0);
}

TEST_F(PlatformPosixProcess, ALineOfTheLongestLengthWindowsAcceptsStarts) {
    write_stand_in("dosbox.exe");
    const std::string argument(32750, 'a');
    const std::string line = "dosbox.exe -c \"" + argument + "\"";
    ASSERT_EQ(line.size(), 32766U);
    ASSERT_EQ(platform_start_process(line), 0);
    ASSERT_TRUE(wait_for_file("args.txt"));
    EXPECT_EQ(read_lines("args.txt"), (std::vector<std::string>{"-c", argument}));
}

TEST_F(PlatformPosixProcess, NoShellInterpretsTheArguments) {
    write_stand_in("dosbox.exe");
    const std::string line = "dosbox.exe \"$(touch PWNED)\" \"x\\\";touch PWNED;\\\"\" "
                             "x\";touch PWNED;\" `touch PWNED` ; touch PWNED | touch PWNED";
    ASSERT_EQ(platform_start_process(line), 0);
    ASSERT_TRUE(wait_for_file("facts.txt"));
    const std::vector<std::string> expected = {"$(touch PWNED)",
                                               "x\";touch PWNED;\"",
                                               "x;touch PWNED;",
                                               "`touch",
                                               "PWNED`",
                                               ";",
                                               "touch",
                                               "PWNED",
                                               "|",
                                               "touch",
                                               "PWNED"};
    EXPECT_EQ(read_lines("args.txt"), expected);
    // A shell would run the commands after the stand-in has ended.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(fs::exists("PWNED"));
}

TEST_F(PlatformPosixProcess, ProgramRunsOnWithoutBeingWaitedFor) {
    write_file("sleeper.exe",
               "#!/bin/sh\nexec >/dev/null 2>&1\necho $$ > pid.tmp\n"
               "mv pid.tmp pid.txt\nexec sleep 5\n",
               fs::perms::owner_all);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(platform_start_process("sleeper.exe"), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_TRUE(has_no_children());
    ASSERT_TRUE(wait_for_file("pid.txt"));
    const std::vector<std::string> lines = read_lines("pid.txt");
    ASSERT_EQ(lines.size(), 1U);
    const pid_t pid = std::atoi(lines[0].c_str());
    ASSERT_GT(pid, 0);
    EXPECT_EQ(kill(pid, 0), 0) << "the program should still be running";
    kill(pid, SIGKILL);
}

} // namespace
} // namespace morv
