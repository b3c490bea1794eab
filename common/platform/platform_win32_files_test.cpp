// A replaced file on Windows keeps the marks the player or the game gave the
// old one, and the replacement still takes its place.
#include <windows.h>

#include "platform_files.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

namespace morv {
namespace {

using morv_test::names_in;
using morv_test::read_file;
using morv_test::ScratchFolder;
using morv_test::write_file;

TEST(Win32Replace, TheNewFileKeepsTheOldOnesMarks) {
    const DWORD cases[] = {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE};
    for (const DWORD marks : cases) {
        ScratchFolder folder;
        write_file(folder.path / "temp.txt", "new");
        write_file(folder.path / "COMMIT.DAT", "old");
        const std::string target = (folder.path / "COMMIT.DAT").string();
        ASSERT_TRUE(SetFileAttributesA(target.c_str(), marks));
        EXPECT_EQ(platform_replace_file((folder.path / "temp.txt").string(), target), 0);
        EXPECT_EQ(read_file(folder.path / "COMMIT.DAT"), "new");
        EXPECT_EQ(GetFileAttributesA(target.c_str()) & marks, marks) << marks;
        EXPECT_EQ(names_in(folder.path), (std::vector<std::string>{"COMMIT.DAT"}));
    }
}

} // namespace
} // namespace morv
