// DOS names in any case on POSIX: the lookup itself, and the file calls that
// find, replace and create files through it.
#include "platform_files.h"
#include "platform_posix_path.h"

#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace morv {
namespace {

using morv_test::names_in;
using morv_test::read_file;
using morv_test::ScratchFolder;
using morv_test::write_file;

struct LookupCase {
    std::vector<std::string> entries;
    const char* asked;
    const char* found; // the name the call reaches, in the folder
};

const LookupCase LOOKUP_CASES[] = {
    {{"DUEL01.DMO"}, "DUEL01.DMO", "DUEL01.DMO"},
    {{"DUEL01.DMO"}, "DUEL01.dmo", "DUEL01.DMO"},
    {{"commit.dat"}, "COMMIT.DAT", "commit.dat"},
    {{"commit.dat", "Commit.Dat"}, "COMMIT.DAT", "COMMIT.DAT"},
    {{"commit.dat", "COMMIT.DAT"}, "Commit.dat", "Commit.dat"},
    {{"commit.dat", "COMMIT.DAT"}, "commit.dat", "commit.dat"},
    {{"ARENA.MAP"}, "ARENA.MAPX", "ARENA.MAPX"},
    {{"Ärena.map"}, "äRENA.MAP", "äRENA.MAP"},
    {{}, "ARENA.MAP", "ARENA.MAP"},
};

TEST(DosNames, ANameMissingAsWrittenReachesItsOnlyMatchInAnyCase) {
    for (const LookupCase& c : LOOKUP_CASES) {
        ScratchFolder folder;
        for (const std::string& entry : c.entries) {
            write_file(folder.path / entry, entry);
        }
        const std::string sub = folder.path.string() + "\\";
        EXPECT_EQ(dos_native_path(sub + c.asked), folder.path.string() + "/" + c.found) << c.asked;
    }
}

TEST(DosNames, FileCallsKeepTheNameTheFolderHolds) {
    ScratchFolder folder;
    const std::string base = folder.path.string() + "/";
    write_file(folder.path / "commit.dat", "NUMPLAYERS = 4\r\n");
    write_file(folder.path / "temp.txt", "NUMPLAYERS = 2\r\n");
    write_file(folder.path / "champion.dmo", "demo");
    EXPECT_EQ(platform_replace_file(base + "temp.txt", base + "COMMIT.DAT"), 0);
    EXPECT_EQ(platform_rename_no_replace(base + "CHAMPION.DMO", base + "CHAMP.DMO"), 0);
    EXPECT_EQ(platform_copy_file(base + "CHAMP.dmo", base + "Copy.DMO"), 0);
    EXPECT_EQ(names_in(folder.path),
              (std::vector<std::string>{"CHAMP.DMO", "Copy.DMO", "commit.dat"}));
    EXPECT_EQ(read_file(folder.path / "commit.dat"), "NUMPLAYERS = 2\r\n");
}

} // namespace
} // namespace morv
