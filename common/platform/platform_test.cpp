// The platform seam's promises that hold the same on every platform: no path
// is cut at a NUL byte, a read-only file is never replaced but a copy
// replaces whatever it meets, leftover temporaries go, a file being written
// is private, and the folder lock lets one holder in at a time and waits
// for it only so long.
#include "platform_files.h"
#include "platform_process.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#endif

namespace morv {
namespace {

namespace fs = std::filesystem;
using morv_test::names_in;
using morv_test::read_file;
using morv_test::ScratchFolder;
using morv_test::write_file;

// "o" NUL "x": cut at the NUL, the name would be the file "o" that exists.
std::string cut_to_o(const std::string& folder) {
    return folder + "/o" + std::string(1, '\0') + "x";
}

struct NulCase {
    const char* operation;
    // The call on a path that holds a NUL byte; true when it was refused.
    bool (*refused)(const std::string& folder);
};

const NulCase NUL_CASES[] = {
    {"open for reading",
     [](const std::string& f) { return platform_open_for_reading(cut_to_o(f)) == NO_FILE; }},
    {"create new",
     [](const std::string& f) { return platform_create_new_file(cut_to_o(f)) == NO_FILE; }},
    {"copy from",
     [](const std::string& f) { return platform_copy_file(cut_to_o(f), f + "/copy") != 0; }},
    {"copy onto",
     [](const std::string& f) { return platform_copy_file(f + "/p", cut_to_o(f)) != 0; }},
    {"rename from",
     [](const std::string& f) { return platform_rename_no_replace(cut_to_o(f), f + "/q") != 0; }},
    {"rename to",
     [](const std::string& f) {
         return platform_rename_no_replace(f + "/p", f + "/q" + std::string(1, '\0')) != 0;
     }},
    {"replace from",
     [](const std::string& f) { return platform_replace_file(cut_to_o(f), f + "/p") != 0; }},
    {"replace onto",
     [](const std::string& f) { return platform_replace_file(f + "/p", cut_to_o(f)) != 0; }},
    {"remove", [](const std::string& f) { return platform_remove_file(cut_to_o(f)) != 0; }},
    {"make folder",
     [](const std::string& f) {
         return platform_make_folder(f + "/d" + std::string(1, '\0') + "x") != 0;
     }},
    {"path kind",
     [](const std::string& f) { return platform_path_kind(cut_to_o(f)) == PATH_MISSING; }},
    {"date",
     [](const std::string& f) {
         int day = 0, month = 0, year = 0;
         return platform_file_local_date(cut_to_o(f), day, month, year) != 0;
     }},
    {"lock folder",
     [](const std::string& f) {
         return platform_lock_folder(f + std::string(1, '\0') + "x") == NO_FOLDER_LOCK;
     }},
};

TEST(PlatformSeam, EveryFileCallRefusesAPathHoldingANulByte) {
    for (const NulCase& c : NUL_CASES) {
        SCOPED_TRACE(c.operation);
        ScratchFolder folder;
        write_file(folder.path / "o", "kept");
        write_file(folder.path / "p", "other");
        EXPECT_TRUE(c.refused(folder.path.string()));
        EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"o", "p"}));
        EXPECT_EQ(read_file(folder.path / "o"), "kept");
        EXPECT_EQ(read_file(folder.path / "p"), "other");
    }
}

TEST(PlatformSeam, AProcessStartRefusesACommandLineHoldingANulByte) {
    // Each starts a program that ends at once when the line is cut at the NUL.
#ifdef _WIN32
    const std::string line = "cmd.exe /c rem";
#else
    const std::string line = "true";
#endif
    EXPECT_EQ(platform_start_process(line), 0);
    EXPECT_NE(platform_start_process(line + std::string(1, '\0') + "x"), 0);
    EXPECT_NE(platform_start_process(line + " " + std::string(1, '\0')), 0);
}

TEST(PlatformSeam, ReplaceKeepsAReadOnlyTarget) {
    ScratchFolder folder;
    write_file(folder.path / "fresh", "new");
    write_file(folder.path / "kept", "old");
    const fs::path kept = folder.path / "kept";
    fs::permissions(kept, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const int result = platform_replace_file((folder.path / "fresh").string(), kept.string());
    fs::permissions(kept, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_NE(result, 0);
    EXPECT_EQ(read_file(kept), "old");
    EXPECT_EQ(read_file(folder.path / "fresh"), "new");

    // Any write permission is enough.
    EXPECT_EQ(platform_replace_file((folder.path / "fresh").string(), kept.string()), 0);
    EXPECT_EQ(read_file(kept), "new");
    EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"kept"}));
}

#ifndef _WIN32
mode_t mode_of(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A file being written may be a private file's copy: private from its
// creation on, it takes its target's mode only in the target's place.
TEST(PlatformSeam, AFileBeingWrittenIsPrivateUntilItTakesItsTargetsPlace) {
    const struct {
        bool temporary;  // else a new file under a name of its own
        int target_mode; // -1: no file stands in the target's place
        mode_t after;
    } cases[] = {{true, -1, 0644}, {true, 0640, 0640}, {false, 0600, 0600}, {false, -1, 0644}};
    const mode_t previous_mask = umask(022);
    for (const auto& c : cases) {
        ScratchFolder folder;
        const std::string target = (folder.path / "target").string();
        std::string made = (folder.path / "temp.txt").string();
        if (c.target_mode >= 0) {
            write_file(target, "old");
            chmod(target.c_str(), static_cast<mode_t>(c.target_mode));
        }
        const FileHandle file = c.temporary ? platform_create_temporary_beside(target, made)
                                            : platform_create_new_file(made);
        ASSERT_NE(file, NO_FILE);
        EXPECT_EQ(mode_of(made), 0600U) << c.temporary << c.target_mode;
        platform_close_file(file);
        EXPECT_EQ(platform_replace_file(made, target), 0);
        EXPECT_EQ(mode_of(target), c.after) << c.temporary << c.target_mode;
    }
    umask(previous_mask);
}
#endif

void set_read_only(const fs::path& path, bool read_only) {
    constexpr fs::perms WRITE =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, WRITE, read_only ? fs::perm_options::remove : fs::perm_options::add);
}

// A copy replaces its target whatever marks either has, keeps the source's
// time and leaves nothing beside it.
struct CopyCase {
    const char* what;
    bool read_only_source;
    bool read_only_target;
    int copies;
};

const CopyCase COPY_CASES[] = {
    {"onto a read-only target", false, true, 1},
    {"from a read-only source, twice", true, false, 2},
};

TEST(PlatformSeam, ACopyReplacesItsTargetWhateverTheirMarks) {
    for (const CopyCase& c : COPY_CASES) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const fs::path source = folder.path / "demo.dmo";
        const fs::path target = folder.path / "copy.dmo";
        write_file(source, "the match");
        write_file(target, "old");
        set_read_only(source, c.read_only_source);
        set_read_only(target, c.read_only_target);
        for (int copy = 0; copy < c.copies; ++copy) {
            EXPECT_EQ(platform_copy_file(source.string(), target.string()), 0);
        }
        EXPECT_EQ(read_file(target), "the match");
        EXPECT_EQ(fs::last_write_time(target), fs::last_write_time(source));
#ifdef _WIN32
        // The read-only mark stays with the source (POSIX copies the mode).
        EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
#endif
        EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"copy.dmo", "demo.dmo"}));
        set_read_only(source, false);
        set_read_only(target, false);
    }
}

// Only names of the platform's own temporaries go; these stay.
const char* const KEPT_NAMES[] = {".morv-copy", ".morv-copy-", ".morv-copy-zz", "demo.dmo",
                                  "temp.txt"};

TEST(PlatformSeam, LeftoverTemporariesGoAndOtherFilesStay) {
    ScratchFolder folder;
    std::vector<std::string> kept;
    for (const char* name : KEPT_NAMES) {
        write_file(folder.path / name, "kept");
        kept.emplace_back(name);
    }
    for (int leftover = 0; leftover < 2; ++leftover) {
        std::string temporary;
        const FileHandle file =
            platform_create_temporary_beside((folder.path / "demo.dmo").string(), temporary);
        ASSERT_NE(file, NO_FILE);
        platform_close_file(file);
        set_read_only(temporary, leftover == 1); // as a cut copy of a read-only demo
    }
    EXPECT_EQ(platform_remove_temporaries(folder.path.string()), 0);
    EXPECT_EQ(names_in(folder.path), kept);
    EXPECT_NE(platform_remove_temporaries((folder.path / "missing").string()), 0);
}

// The folder named in another way still gives the same lock.
struct LockCase {
    const char* what;
    std::string (*second_name)(const fs::path& folder);
};

const LockCase LOCK_CASES[] = {
    {"the same name", [](const fs::path& f) { return f.string(); }},
    {"with a final separator", [](const fs::path& f) { return f.string() + "/"; }},
    {"through a sub-folder and back",
     [](const fs::path& f) { return (f / "sub" / "..").string(); }},
};

TEST(PlatformSeam, TheFolderLockLetsOneHolderInAtATime) {
    using namespace std::chrono_literals;
    for (const LockCase& c : LOCK_CASES) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        fs::create_directory(folder.path / "sub");
        const FolderLock first = platform_lock_folder(folder.path.string());
        ASSERT_NE(first, NO_FOLDER_LOCK);
        std::atomic<bool> second_held{false};
        std::thread other([&] {
            const FolderLock second = platform_lock_folder(c.second_name(folder.path));
            second_held = second != NO_FOLDER_LOCK;
            platform_unlock_folder(second);
        });
        std::this_thread::sleep_for(300ms);
        EXPECT_FALSE(second_held) << "the second holder did not wait";
        platform_unlock_folder(first);
        other.join();
        EXPECT_TRUE(second_held) << "the second holder never got the lock";
        EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"sub"}));
    }
}

// A holder that keeps the lock past the wait (a stopped program, say) is
// reported, and the lock is free again once it lets go. On POSIX also a
// shared lock as "flock -s" holds it: flock locks belong to an opening of
// the folder, so another opening here stands for another process.
TEST(PlatformSeam, ALockKeptPastTheWaitIsReported) {
    using namespace std::chrono;
    for (const bool shared : {false, true}) {
        ScratchFolder folder;
#ifdef _WIN32
        if (shared) {
            continue;
        }
        FolderLock held = platform_lock_folder(folder.path.string());
#else
        FolderLock held = shared ? open(folder.path.c_str(), O_RDONLY | O_CLOEXEC)
                                 : platform_lock_folder(folder.path.string());
        ASSERT_TRUE(!shared || flock(static_cast<int>(held), LOCK_SH) == 0);
#endif
        std::atomic<bool> done{false};
        FolderLock waited = 0;
        const auto start = steady_clock::now();
        std::thread other([&] {
            waited = platform_lock_folder(folder.path.string());
            done = true;
        });
        // A wait without end is cut short by the holder letting go.
        while (!done && steady_clock::now() - start < milliseconds(FOLDER_LOCK_WAIT_MS + 3000)) {
            std::this_thread::sleep_for(10ms);
        }
        const auto waited_for = steady_clock::now() - start;
        platform_unlock_folder(held);
        other.join();
        EXPECT_EQ(waited, NO_FOLDER_LOCK) << shared;
        platform_unlock_folder(waited);
        EXPECT_GE(waited_for, milliseconds(FOLDER_LOCK_WAIT_MS - 100)) << shared;
        EXPECT_LT(waited_for, milliseconds(FOLDER_LOCK_WAIT_MS + 3000)) << shared;
        held = platform_lock_folder(folder.path.string());
        EXPECT_GE(held, 0) << "free again";
        platform_unlock_folder(held);
    }
}

TEST(PlatformSeam, LocksOfDifferentFoldersDoNotWait) {
    ScratchFolder one;
    ScratchFolder two;
    const FolderLock first = platform_lock_folder(one.path.string());
    const FolderLock second = platform_lock_folder(two.path.string());
    EXPECT_NE(first, NO_FOLDER_LOCK);
    EXPECT_NE(second, NO_FOLDER_LOCK);
    platform_unlock_folder(second);
    platform_unlock_folder(first);
    EXPECT_EQ(platform_lock_folder((one.path / "missing").string()), NO_FOLDER_LOCK);
}

} // namespace
} // namespace morv
