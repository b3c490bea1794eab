// The committed Unicode tables are what scripts/unicode_tables makes of the
// Unicode Character Database installed here.
#include "program_runner.h"

#include <gtest/gtest.h>

namespace morv_test {
namespace {

const std::filesystem::path UCD = "/usr/share/unicode";

TEST(UnicodeTables, AreWhatTheScriptMakesOfTheInstalledDatabase) {
    if (!std::filesystem::exists(UCD / "auxiliary" / "GraphemeBreakProperty.txt")) {
        GTEST_SKIP() << UCD << " is missing (Debian package unicode-data)";
    }
    const std::filesystem::path source = MORV_SOURCE_DIR;
    ScratchFolder folder;
    const ProgramRun run =
        run_program({"/bin/bash", (source / "scripts" / "unicode_tables").string(), UCD.string()},
                    "", folder.path);
    ASSERT_EQ(run.exit_status, 0) << run.errors;
    EXPECT_TRUE(run.output == read_file(source / "common" / "rules" / "unicode_tables.cpp"))
        << "run scripts/unicode_tables again: the installed database differs";
}

} // namespace
} // namespace morv_test
