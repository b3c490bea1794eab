#include "file_ops.h"
#include "scratch_folder.h"
#include "text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>
#include <sys/stat.h>
#include <utime.h>
#endif

namespace fs = std::filesystem;
using namespace morv;

namespace {

class FileOpsTest : public testing::Test {
  protected:
    std::string path(const std::string& name) const { return (folder / name).string(); }

    std::string put(const std::string& name, const std::string& bytes) const {
        std::ofstream(path(name), std::ios::binary) << bytes;
        return path(name);
    }

    static std::string bytes_of(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::vector<std::string> names_in_folder() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    morv_test::ScratchFolder scratch{"morv_file_ops_"};
    fs::path folder = scratch.path;
};

TEST_F(FileOpsTest, RenameNeverReplaces) {
    const std::string one = put("one", "1");
    const std::string two = put("two", "2");
    EXPECT_NE(rename_file(one, two), 0);
    EXPECT_NE(rename_file(two, one), 0);
    EXPECT_NE(rename_file(path("missing"), path("three")), 0);
    EXPECT_EQ(bytes_of(one), "1");
    EXPECT_EQ(bytes_of(two), "2");
    EXPECT_EQ(names_in_folder(), (std::vector<std::string>{"one", "two"}));

    EXPECT_EQ(rename_file(one, path("three")), 0);
    EXPECT_EQ(names_in_folder(), (std::vector<std::string>{"three", "two"}));
    EXPECT_EQ(bytes_of(path("three")), "1");
}

#ifndef _WIN32
// A demo dropped from another disk is moved into the working folder, as on
// Windows; the move still never replaces a file.
TEST_F(FileOpsTest, RenameMovesAFileOntoAnotherFileSystem) {
    const fs::path other_disk = "/dev/shm";
    struct stat here {
    }, there{};
    if (stat(folder.c_str(), &here) != 0 || stat(other_disk.c_str(), &there) != 0 ||
        here.st_dev == there.st_dev) {
        GTEST_SKIP() << "no second file system to move from";
    }
    std::error_code error;
    const fs::path source = other_disk / ("morv_move_" + folder.filename().string());
    std::ofstream(source, std::ios::binary) << "demo bytes";
    utimbuf times{1000000000, 1000000000};
    utime(source.c_str(), &times);
    put("taken", "keep");

    EXPECT_NE(rename_file(source.string(), path("taken")), 0);
    EXPECT_EQ(bytes_of(path("taken")), "keep");
    EXPECT_TRUE(fs::exists(source));

    EXPECT_EQ(rename_file(source.string(), path("moved")), 0);
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(bytes_of(path("moved")), "demo bytes");
    struct stat status {};
    stat(path("moved").c_str(), &status);
    EXPECT_EQ(status.st_mtime, 1000000000);
    EXPECT_EQ(names_in_folder(), (std::vector<std::string>{"moved", "taken"}));
    fs::remove(source, error);
}
#endif

TEST_F(FileOpsTest, ReplaceFileTakesTheTargetsPlace) {
    const std::string fresh = put("fresh", "new");
    const std::string old = put("old", "old");
    EXPECT_EQ(replace_file(fresh, old), 0);
    EXPECT_EQ(bytes_of(old), "new");
    EXPECT_FALSE(fs::exists(fresh));
}

TEST_F(FileOpsTest, CopyReplacesAnExistingTarget) {
    const std::string source = put("source", std::string(200000, 's'));
    const std::string target = put("target", "old target");
    const auto past = fs::last_write_time(source) - std::chrono::hours(24 * 400);
    fs::last_write_time(source, past);
    fs::permissions(source, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    EXPECT_EQ(copy_file(source, target), 0);
    EXPECT_EQ(bytes_of(target), bytes_of(source));
    EXPECT_EQ(fs::last_write_time(target), past);
    EXPECT_EQ(fs::status(target).permissions(), fs::status(source).permissions());
    EXPECT_EQ(names_in_folder(), (std::vector<std::string>{"source", "target"}));
}

TEST_F(FileOpsTest, FailedCopyLeavesTargetAsItWas) {
    const std::string target = put("target", "old target");
    fs::create_directory(folder / "sub");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {path("missing"), target},
        {path("sub"), target},
        {target, path("none/target")},
        {target, path("sub")},
    };
    for (const auto& [source, to] : cases) {
        SCOPED_TRACE(source + " -> " + to);
        EXPECT_EQ(copy_file(source, to), 1);
        EXPECT_EQ(bytes_of(target), "old target");
        EXPECT_EQ(names_in_folder(), (std::vector<std::string>{"sub", "target"}));
        EXPECT_TRUE(fs::is_empty(folder / "sub"));
    }
}

#ifndef _WIN32
// A file size limit makes the copy fail halfway through writing.
TEST_F(FileOpsTest, CopyThatFailsWhileWritingLeavesNoTrace) {
    const std::string source = put("source", std::string(100000, 's'));
    const std::string target = put("target", "old target");
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto saved_signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = copy_file(source, target);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, saved_signal);

    EXPECT_EQ(result, 1);
    EXPECT_EQ(bytes_of(target), "old target");
    EXPECT_EQ(names_in_folder(), (std::vector<std::string>{"source", "target"}));
}
#endif

TEST_F(FileOpsTest, MakeFolderCreatesOneLevel) {
    EXPECT_EQ(make_folder(path("new")), 0);
    EXPECT_TRUE(fs::is_directory(folder / "new"));
    put("new/inside", "x");
    EXPECT_EQ(make_folder(path("new")), -1);
    EXPECT_EQ(bytes_of(path("new/inside")), "x");
    EXPECT_EQ(make_folder(path("absent/child")), -1);
    EXPECT_FALSE(fs::exists(folder / "absent"));
}

TEST_F(FileOpsTest, RemoveDeletesFilesOnly) {
    const std::string file = put("file", "x");
    fs::create_directory(folder / "sub");
    EXPECT_EQ(remove_file(file), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_NE(remove_file(file), 0);
    EXPECT_NE(remove_file(path("sub")), 0);
    EXPECT_TRUE(fs::is_directory(folder / "sub"));
}

TEST_F(FileOpsTest, FileDateOfUnreadablePathIsDayZero) {
    for (const std::string& missing : {path("missing"), path("missing/deeper"), std::string()}) {
        const FileDate date = file_date(missing);
        EXPECT_EQ(date.day, 30);
        EXPECT_EQ(date.month, 12);
        EXPECT_EQ(date.year, 1899);
    }
}

#ifndef _WIN32
// The zones put local midnight away from UTC midnight, so a date taken in
// UTC instead of local time shows as the neighbouring day.
TEST_F(FileOpsTest, FileDateIsTheLocalDateOfTheLastChange) {
    struct Case {
        const char* zone;
        int year, month, day, hour, minute;
    };
    const std::vector<Case> cases = {
        {"AAA-5", 2020, 3, 1, 0, 30},
        {"BBB+5", 2020, 2, 29, 23, 30},
        {"CCC-1", 2040, 6, 15, 0, 5},
    };
    const char* saved = std::getenv("TZ");
    const std::string saved_zone = saved == nullptr ? "" : saved;
    const std::string file = put("dated", "x");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zone);
        setenv("TZ", c.zone, 1);
        tzset();
        std::tm local{};
        local.tm_year = c.year - 1900;
        local.tm_mon = c.month - 1;
        local.tm_mday = c.day;
        local.tm_hour = c.hour;
        local.tm_min = c.minute;
        local.tm_isdst = -1;
        const std::time_t when = std::mktime(&local);
        const utimbuf times = {when, when};
        ASSERT_EQ(utime(file.c_str(), &times), 0);
        const FileDate date = file_date(file);
        EXPECT_EQ(date.day, c.day);
        EXPECT_EQ(date.month, c.month);
        EXPECT_EQ(date.year, c.year);
    }
    if (saved == nullptr) {
        unsetenv("TZ");
    } else {
        setenv("TZ", saved_zone.c_str(), 1);
    }
    tzset();
}

TEST_F(FileOpsTest, PathKinds) {
    put("file", "x");
    fs::create_directory(folder / "sub");
    fs::create_symlink(folder / "file", folder / "link");
    fs::create_symlink(folder / "gone", folder / "dangling");
    const std::vector<std::pair<std::string, PathKind>> cases = {
        {"missing", PATH_MISSING}, {"file", PATH_FILE},      {"sub", PATH_OTHER},
        {"link", PATH_FILE},       {"dangling", PATH_OTHER}, {"file/below", PATH_MISSING},
    };
    for (const auto& [name, kind] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(path_kind(path(name)), kind);
    }
}

// Players give paths the Windows way; "\" must work as a separator.
TEST_F(FileOpsTest, BackslashSeparatesFolders) {
    const std::string sub = folder.string() + "\\sub";
    EXPECT_EQ(make_folder(sub), 0);
    EXPECT_TRUE(fs::is_directory(folder / "sub"));
    ASSERT_EQ(open_text_file(sub + "\\a.txt", FILE_CREATING, 1), 0);
    write_text_line(1, "line");
    ASSERT_EQ(close_text_file(1), 0);
    EXPECT_EQ(path_kind(sub + "\\a.txt"), PATH_FILE);
    EXPECT_EQ(copy_file(sub + "\\a.txt", sub + "\\b.txt"), 0);
    EXPECT_EQ(rename_file(sub + "\\b.txt", sub + "\\c.txt"), 0);
    EXPECT_NE(file_date(sub + "\\c.txt").year, 1899);
    EXPECT_EQ(bytes_of(path("sub/c.txt")), "line\r\n");
    EXPECT_EQ(replace_file(sub + "\\c.txt", sub + "\\a.txt"), 0);
    EXPECT_EQ(remove_file(sub + "\\a.txt"), 0);
    EXPECT_TRUE(fs::is_empty(folder / "sub"));
}
#endif

} // namespace
