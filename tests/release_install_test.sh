#!/usr/bin/env bash
# "cmake --install" of the release build as a user or packager runs it: the
# programs, manual pages and README land where GNUInstallDirs puts them, the
# manual pages are clean to groff, and the installed programs pass the worked
# map-mode example of the end-to-end tests.
#
# Usage: release_install_test.sh RELEASE_BUILD STAND_IN GENERATOR_TEST LAUNCHER_TEST
set -euo pipefail

BUILD=$(realpath "$1")
STAND_IN=$(realpath "$2")
readonly BUILD STAND_IN
readonly GENERATOR_TEST=$3
readonly LAUNCHER_TEST=$4
# In the order of man-pages(7).
readonly MAN_SECTIONS='NAME,SYNOPSIS,DESCRIPTION,OPTIONS,EXIT STATUS,ENVIRONMENT,FILES,EXAMPLES,SEE ALSO,'

fail() {
    echo "FAIL: $*"
    exit 1
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$BUILD" --prefix /usr >/dev/null || fail "cmake --install failed"

for file in bin/morvmake bin/morvplay share/man/man1/morvmake.1.gz share/man/man1/morvplay.1.gz \
    share/doc/morv/README.md; do
    [[ -f "$root/usr/$file" ]] || fail "not installed: usr/$file"
done
for page in morvmake morvplay; do
    complaints=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)
    [[ -z "$complaints" ]] || fail "groff on $page.1:"$'\n'"$complaints"
    sections=$(zcat "$root/usr/share/man/man1/$page.1.gz" | sed -n 's/^\.SH //p' | tr '\n' ,)
    [[ "$sections" == "$MAN_SECTIONS" ]] || fail "$page.1 has the sections $sections"
done

MORV_TEST_PROGRAMS=$root/usr/bin "$GENERATOR_TEST" \
    --gtest_filter='GeneratorMatch.MapDuelWritesTheScriptAndTheFolderWithItsThreeCopies' ||
    fail "the installed morvmake failed the worked example"
MORV_TEST_PROGRAMS=$root/usr/bin MORV_TEST_STAND_IN=$STAND_IN "$LAUNCHER_TEST" \
    --gtest_filter='LauncherFolder.TheWorkedExampleStartsBothInstancesWithTheirCommandsIntact' ||
    fail "the installed morvplay failed the worked example"
echo "PASS: release install"
