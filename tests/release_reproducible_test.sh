#!/usr/bin/env bash
# Two builds of the last commit, as two builders make them: in two folders,
# one after the other, the first with SOURCE_DATE_EPOCH set to the commit's
# date and the second without it (the build then takes that date itself).
# The .deb, the zip and every program must be the same to the byte, and the
# first build's zip entries and PE headers must carry that date.
#
# Usage: release_reproducible_test.sh SOURCE
set -euo pipefail

SOURCE=$(realpath "$1")
readonly SOURCE

fail() {
    echo "FAIL: $*"
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
epoch=$(git -C "$SOURCE" log -1 --format=%ct)
jobs=$(nproc)

# build FOLDER: the release (programs and .deb) and the Windows zip of a
# fresh clone in FOLDER.
build() {
    git clone -q "$SOURCE" "$1/morv"
    (
        cd "$1/morv"
        cmake --preset release >/dev/null
        cmake --build --preset release -j "$jobs" >/dev/null
        cpack --preset linux >/dev/null 2>&1
        cmake --preset windows -DMORV_TESTS=OFF >/dev/null
        cmake --build --preset windows -j "$jobs" >/dev/null
        cpack --preset windows >/dev/null 2>&1
    ) || fail "the build in $1 failed"
}
outputs() {
    local root=$1/morv/build
    echo "$root"/release/morv_*_amd64.deb "$root"/windows/morv-*-windows-x64.zip \
        "$root"/release/bin/morvmake "$root"/release/bin/morvplay \
        "$root"/windows/bin/morvmake.exe "$root"/windows/bin/morvplay.exe
}

mkdir "$work/first" "$work/second"
SOURCE_DATE_EPOCH=$epoch build "$work/first"
(unset SOURCE_DATE_EPOCH && build "$work/second")

read -r -a first <<<"$(outputs "$work/first")"
read -r -a second <<<"$(outputs "$work/second")"
for k in "${!first[@]}"; do
    cmp "${first[k]}" "${second[k]}" || fail "$(basename "${first[k]}") differs between the two builds"
done

stamp=$(TZ=UTC date -d "@$epoch" '+%y-%b-%d %H:%M')
zip_times=$(TZ=UTC zipinfo "${first[1]}" | awk '/^-/ {print $7, $8}' | sort -u)
[[ "$zip_times" == "$stamp" ]] || fail "the zip's entries are dated $zip_times, not $stamp"
pe_time=$(x86_64-w64-mingw32-objdump -p "${first[4]}" | awk -F'\t+' '/^Time\/Date/ {print $2}')
[[ "$(TZ=UTC date -d "$pe_time UTC" +%s)" == "$epoch" ]] || fail "morvmake.exe is dated $pe_time"
echo "PASS: two builds in two folders gave ${#first[@]} identical outputs, dated $stamp"
