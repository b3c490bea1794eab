#!/usr/bin/env bash
# The packagers' preset as a distribution's build runs it: with CPPFLAGS,
# CXXFLAGS and LDFLAGS exported, each reaches every compile or link after the
# project's own flags, the hardening is there, warnings stay warnings, and no
# build path is left for the compiler to record.
#
# Usage: release_flags_test.sh SOURCE
set -euo pipefail

SOURCE=$(realpath "$1")
readonly SOURCE

fail() {
    echo "FAIL: $*"
    exit 1
}

build=$(mktemp -d)
trap 'rm -rf "$build"' EXIT
(cd "$SOURCE" && CPPFLAGS=-DPACKAGER_CPPFLAGS CXXFLAGS="-O2 -DPACKAGER_CXXFLAGS" \
    LDFLAGS=-Wl,--as-needed cmake --preset release -B "$build" >/dev/null) ||
    fail "the release preset does not configure"

grep -qE '^CMAKE_COMPILE_WARNING_AS_ERROR:[A-Z]+=OFF$' "$build/CMakeCache.txt" ||
    fail "the release preset makes warnings errors"
commands=$(sed -n 's/^ *"command": "\(.*\)",$/\1/p' "$build/compile_commands.json")
while read -r command; do
    for flag in -fstack-protector-strong -D_FORTIFY_SOURCE=2 -fstack-clash-protection \
        -fcf-protection "-ffile-prefix-map=$SOURCE/=" "-ffile-prefix-map=$build/="; do
        [[ " $command " == *" $flag "* ]] || fail "a compile lacks $flag: $command"
    done
    [[ "$command" != *-Werror* ]] || fail "a compile makes warnings errors: $command"
    [[ "$command" == *" -O3 "*" -DPACKAGER_CPPFLAGS -O2 -DPACKAGER_CXXFLAGS "* ]] ||
        fail "the packager's flags do not follow the project's: $command"
done <<<"$commands"
links=$(grep -c 'LINK_FLAGS = -Wl,-z,relro -Wl,-z,now -Wl,--as-needed$' "$build/build.ninja" || true)
((links == 2)) || fail "$links of the two programs link with the project's flags, then LDFLAGS"
echo "PASS: the packager's flags reach $(wc -l <<<"$commands") compiles and both links"
