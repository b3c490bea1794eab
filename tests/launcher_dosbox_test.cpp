// morvplay with the real emulator, run headless: a two-player launch script
// written by morvmake starts two emulators whose command chains run in order,
// and the second joins the first one's IPX network.
#include "program_runner.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <netinet/in.h>
#include <sstream>
#include <sys/file.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace morv_test {
namespace {

namespace fs = std::filesystem;

// Stands in for the network set-up program: appends its command tail, as DOS
// hands it over (ended by a CR), to TAILS.TXT.
const char* const IPXSETUP_SOURCE = R"(org 100h
    mov ax, 3D02h           ; open TAILS.TXT for reading and writing
    mov dx, file_name
    int 21h
    jnc opened
    mov ah, 3Ch             ; or create it
    xor cx, cx
    mov dx, file_name
    int 21h
    jc done
opened:
    mov bx, ax
    mov ax, 4202h           ; to its end
    xor cx, cx
    xor dx, dx
    int 21h
    mov ah, 40h             ; the tail's length at 80h, its bytes and the CR from 81h
    xor ch, ch
    mov cl, [80h]
    inc cx
    mov dx, 81h
    int 21h
    mov ah, 3Eh
    int 21h
done:
    mov ax, 4C00h
    int 21h
file_name db 'TAILS.TXT', 0
)";

// Headless and silent, with the emulator's IPX network.
const char* const DOSBOX_CONF = "[sdl]\noutput=surface\n"
                                "[cpu]\ncore=normal\ncycles=fixed 3000\n"
                                "[mixer]\nnosound=true\n"
                                "[midi]\nmpu401=none\nmididevice=none\n"
                                "[sblaster]\nsbtype=none\noplmode=none\n"
                                "[gus]\ngus=false\n"
                                "[speaker]\npcspeaker=false\ntandy=off\ndisney=false\n"
                                "[ipx]\nipx=true\n";

// Records each emulator's process id, so the test can stop exactly the ones
// it started, and keeps each one's messages in a log of its own, written line
// by line so they can be read while it runs.
const char* const WRAPPER = "#!/bin/sh\n"
                            "echo $$ >> pids.txt\n"
                            "export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy\n"
                            "exec stdbuf -oL dosbox \"$@\" > emulator-$$.log 2>&1 < /dev/null\n";

// The dialogue of a two-player level match: players, level, names, colours
// and kills.
const char* const DIALOGUE = "2\nL\n5\nBig Joe\n3\nViper\n7\n12\n9\n";

// DOS keeps at most this many bytes of a command tail.
constexpr std::size_t DOS_TAIL_LIMIT = 126;

// The emulator's IPX server listens on this UDP port of the whole machine.
constexpr std::uint16_t IPX_PORT = 213;

bool is_running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pid_text, name, state;
    if (!(stat >> pid_text >> name >> state)) {
        return false;
    }
    return state != "Z" && state != "X";
}

bool wait_until(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

bool ipx_port_is_free() {
    const int probe = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(IPX_PORT);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free =
        probe >= 0 && bind(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (probe >= 0) {
        close(probe);
    }
    return free;
}

// Runs of this test from other build folders would share the port: one at a
// time on the machine, and only once no other server holds the port.
struct PortLock {
    int file =
        open((fs::temp_directory_path() / "morv-ipx-port.lock").c_str(), O_RDWR | O_CREAT, 0666);
    bool held =
        wait_until([this] { return file >= 0 && flock(file, LOCK_EX | LOCK_NB) == 0; }, 300.0) &&
        wait_until(ipx_port_is_free, 60.0);
    PortLock() = default;
    PortLock(const PortLock&) = delete;
    PortLock& operator=(const PortLock&) = delete;
    ~PortLock() {
        if (file >= 0) {
            close(file);
        }
    }
};

std::size_t count_of(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

// The command tail each player's set-up program should get: the script's
// text behind "ipxsetup", as far as DOS keeps it.
std::vector<std::string> expected_tails(const std::string& script) {
    std::vector<std::string> tails;
    std::istringstream lines(script);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t at = line.find("ipxsetup");
        if (line.rfind("INSTANCE", 0) == 0 && at != std::string::npos) {
            std::string tail = line.substr(at + 8);
            tail = tail.substr(0, tail.find('\r'));
            tails.push_back(tail.substr(0, DOS_TAIL_LIMIT));
        }
    }
    return tails;
}

std::vector<std::string> received_tails(const std::string& bytes) {
    std::vector<std::string> tails;
    for (std::size_t start = 0, end = bytes.find('\r'); end != std::string::npos;
         start = end + 1, end = bytes.find('\r', start)) {
        tails.push_back(bytes.substr(start, end - start));
    }
    return tails;
}

struct EmulatorFolder : ::testing::Test {
    PortLock port;
    ScratchFolder folder;

    std::vector<pid_t> started() const {
        std::vector<pid_t> pids;
        std::ifstream file(folder.path / "pids.txt");
        for (pid_t pid = 0; file >> pid;) {
            pids.push_back(pid);
        }
        return pids;
    }

    // Every emulator this test started goes, by its own process id.
    void TearDown() override {
        for (const pid_t pid : started()) {
            kill(pid, SIGTERM);
            if (!wait_until([pid] { return !is_running(pid); }, 5.0)) {
                kill(pid, SIGKILL);
                wait_until([pid] { return !is_running(pid); }, 5.0);
            }
            EXPECT_FALSE(is_running(pid)) << "emulator " << pid << " still runs";
        }
    }

    std::string file(const std::string& name) const { return read_file(folder.path / name); }
};

TEST_F(EmulatorFolder, TwoPlayersRunTheirChainsAndShareOneIpxNetwork) {
    ASSERT_FALSE(run_program({"sh", "-c", "command -v dosbox && command -v nasm"}, "", folder.path)
                     .exit_status)
        << "the emulator (dosbox) and the assembler (nasm) must be installed";
    ASSERT_TRUE(port.held) << "UDP port " << IPX_PORT << " stayed busy";
    write_file(folder.path / "ipxsetup.asm", IPXSETUP_SOURCE);
    write_file(folder.path / "COMMIT.DAT", "NUMPLAYERS = 4\r\n");
    ASSERT_EQ(
        run_program({"nasm", "-f", "bin", "-o", "IPXSETUP.COM", "ipxsetup.asm"}, "", folder.path)
            .exit_status,
        0);
    write_file(folder.path / "dosbox.conf", DOSBOX_CONF);
    write_file(folder.path / "dosbox.exe", WRAPPER);
    fs::permissions(folder.path / "dosbox.exe", fs::perms::owner_all);
    write_file(folder.path / "DUEL01.DMO", "demo");

    const ProgramRun made =
        run_program({built_program("morvmake"), "DUEL01.DMO"}, DIALOGUE, folder.path);
    ASSERT_EQ(made.exit_status, 0) << made.output;
    const std::string script = file("DUEL01.MORV");
    const std::vector<std::string> tails = expected_tails(script);
    ASSERT_EQ(tails.size(), 2u) << script;

    const ProgramRun played =
        run_program({built_program("morvplay"), "DUEL01.MORV"}, "", folder.path);
    EXPECT_FALSE(played.timed_out);
    EXPECT_EQ(count_of(played.output, "\r\nLaunching: dosbox.exe -conf dosbox.conf -c "), 2u)
        << played.output;
    EXPECT_EQ(count_of(played.output, "Failed to launch"), 0u) << played.output;
    const std::vector<pid_t> pids = started();
    ASSERT_EQ(pids.size(), 2u);

    const std::string host_log = "emulator-" + std::to_string(pids[0]) + ".log";
    const std::string guest_log = "emulator-" + std::to_string(pids[1]) + ".log";
    const bool finished = wait_until(
        [&] {
            return received_tails(file("TAILS.TXT")).size() >= 2 &&
                   count_of(file(host_log), "IPXSERVER: Connect from") >= 2 &&
                   count_of(file(guest_log), "IPX: Connected to server") >= 1;
        },
        30.0);
    EXPECT_TRUE(finished) << "host:\n" << file(host_log) << "guest:\n" << file(guest_log);
    EXPECT_EQ(received_tails(file("TAILS.TXT")), tails);
    // The host's own emulator and player 2's joined its network.
    EXPECT_EQ(count_of(file(host_log), "IPXSERVER: Connect from"), 2u);
    EXPECT_EQ(count_of(file(guest_log), "IPX: Connected to server"), 1u);
    for (const pid_t pid : pids) {
        EXPECT_TRUE(is_running(pid)) << "emulator " << pid << " ended by itself";
    }
}

} // namespace
} // namespace morv_test
