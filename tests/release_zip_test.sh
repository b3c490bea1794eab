#!/usr/bin/env bash
# The release zip as a player gets it: named with the release's version, it
# must hold exactly the two programs, README.txt and LICENSE.txt in CR LF,
# each program small, importing only system DLLs and carrying that version
# in its version resource (read as Explorer reads it, by a Windows probe
# under wine) beside an icon of four sizes and a manifest; README.txt must be
# plain ASCII with the version; its morvplay.exe must start the worked
# example's emulators with their command lines intact, as the stand-in
# emulator (a Windows program) receives them; and the programs unpacked from
# it must pass the given end-to-end tests.
#
# Usage: release_zip_test.sh ZIP VERSION WINE_PREFIX STAND_IN_EXE VERSION_PROBE_EXE TEST_PROGRAM...
set -euo pipefail

ZIP=$(realpath "$1")
readonly VERSION=$2
PREFIX=$(realpath -m "$3")
STAND_IN=$(realpath "$4")
VERSION_PROBE=$(realpath "$5")
shift 5
WINE_RUN=$(realpath "$(dirname "$0")/../cmake/wine_run.sh")
readonly ZIP PREFIX STAND_IN VERSION_PROBE WINE_RUN
# About 300 KiB of program and 20 KiB of icon.
readonly LARGEST_EXE=337920
readonly EXPECTED_FILES=$'LICENSE.txt\nREADME.txt\nmorvmake.exe\nmorvplay.exe'

fail() {
    echo "FAIL: $*"
    exit 1
}

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

[[ -f "$ZIP" ]] || fail "no release zip at $ZIP (run cpack in the Windows build)"
[[ "$(basename "$ZIP")" == "morv-$VERSION-windows-x64.zip" ]] || fail "the zip is named $(basename "$ZIP")"
(cd "$folder" && cmake -E tar xf "$ZIP") || fail "the zip cannot be unpacked"
files=$(cd "$folder" && find . -mindepth 1 -printf '%P\n' | LC_ALL=C sort)
[[ "$files" == "$EXPECTED_FILES" ]] || fail "the zip holds:"$'\n'"$files"
for text in README.txt LICENSE.txt; do
    # Every line ends in CR LF: no LF without its CR.
    ! grep -qv $'\r$' "$folder/$text" || fail "$text has lines without CR LF"
done
grep -q 'MIT' "$folder/LICENSE.txt" || fail "LICENSE.txt does not give the MIT licence"
! LC_ALL=C grep -q '[^[:print:][:space:]]' "$folder/README.txt" || fail "README.txt is not plain ASCII"
grep -qF "morvmake and morvplay $VERSION" "$folder/README.txt" || fail "README.txt lacks the version"

for exe in morvmake.exe morvplay.exe; do
    size=$(stat -c %s "$folder/$exe")
    ((size < LARGEST_EXE)) || fail "$exe has $size bytes"
    imports=$(x86_64-w64-mingw32-objdump -p "$folder/$exe" | awk '/DLL Name:/ {print $3}')
    while read -r dll; do
        case ${dll,,} in
        kernel32.dll | user32.dll | msvcrt.dll | api-ms-win-crt-*.dll) ;;
        *) fail "$exe imports $dll" ;;
        esac
    done <<<"$imports"
    # The icon Explorer shows on the drop target, in its four sizes, and the
    # manifest.
    wrestool -x --type=14 "$folder/$exe" >"$folder/icon.ico"
    icon_sizes=$(icotool -l "$folder/icon.ico" 2>/dev/null | grep -o 'width=[0-9]*' | LC_ALL=C sort |
        tr '\n' ' ')
    rm "$folder/icon.ico"
    [[ "$icon_sizes" == "width=16 width=256 width=32 width=48 " ]] ||
        fail "$exe's icon has the sizes: $icon_sizes"
    manifest=$(wrestool -x --raw --type=24 --name=1 "$folder/$exe")
    for part in 'level="asInvoker"' '<longPathAware' \
        '{35138b9a-5d96-4fbd-8e2d-a2440225f93a}' '{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}'; do
        grep -qF "$part" <<<"$manifest" || fail "$exe's manifest lacks $part"
    done
    ! grep -q 'activeCodePage' <<<"$manifest" || fail "$exe's manifest sets a code page"
    resource=$(WINEPREFIX=$PREFIX "$WINE_RUN" "$VERSION_PROBE" "$folder/$exe" </dev/null | tr -d '\r')
    expected="FileDescription=${exe%.exe}: "
    [[ "$resource" == "$expected"* ]] || fail "$exe's version resource:"$'\n'"$resource"
    for line in "ProductName=morv" "FileVersion=$VERSION" "ProductVersion=$VERSION" \
        "OriginalFilename=$exe" \
        "LegalCopyright=Copyright (c) 2026 the morv developers. MIT License."; do
        grep -qxF "$line" <<<"$resource" || fail "$exe's version resource lacks $line:"$'\n'"$resource"
    done
    echo "$exe: $size bytes, imports" $imports", version $VERSION"
done

# ---- the worked example, started by morvplay.exe from the zip ---------------

readonly INSTANCE1="MOUNT C . & C: & ipxnet startserver & ipxsetup -player 1 -nodes 2 vcommit \
sw.exe -dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,3,0 -name Hawk"
readonly INSTANCE2="MOUNT C . & C: & ipxnet connect localhost & ipxsetup -player 2 -nodes 2 \
vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet 0,3,0,1,1,0,20,0,7,0 -name Viper"
readonly LINE1="dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet startserver\" \
-c \"ipxsetup -player 1 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet \
0,3,0,1,1,0,20,0,3,0 -name Hawk\""
readonly LINE2="dosbox.exe -conf dosbox.conf -c \"MOUNT C .\" -c \"C:\" -c \"ipxnet connect \
localhost\" -c \"ipxsetup -player 2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map \
-autonet 0,3,0,1,1,0,20,0,7,0 -name Viper\""
arguments_of() {
    printf '%s\n' -conf dosbox.conf -c "MOUNT C ." -c "C:" -c "ipxnet $1" -c \
        "ipxsetup -player $2 -nodes 2 vcommit sw.exe -dpDUEL01.DMO -map ARENA.map -autonet $3"
    echo ----
}

game=$(mktemp -d)
trap 'rm -rf "$folder" "$game"' EXIT
cp "$STAND_IN" "$game/dosbox.exe"
printf 'PLAYERS = 2\r\n---\r\nINSTANCE1 = %s\r\nINSTANCE2 = %s\r\n' "$INSTANCE1" "$INSTANCE2" \
    >"$game/DUEL01.MORV"
printf '[net]\r\nNUMPLAYERS = 4\r\n' >"$game/COMMIT.DAT"
output=$(cd "$game" && WINEPREFIX=$PREFIX "$WINE_RUN" "$folder/morvplay.exe" DUEL01.MORV </dev/null) ||
    fail "morvplay.exe did not end with status 0"
[[ "$output" == *"Launching: $LINE1"$'\r\n'"Launching: $LINE2"$'\r\n'* ]] ||
    fail "morvplay.exe printed:"$'\n'"$output"
[[ "$(cat "$game/COMMIT.DAT")" == $'[net]\r\nNUMPLAYERS = 2\r' ]] || fail "COMMIT.DAT was not updated"
# The last emulator starts 3 s before morvplay ends; it has written by then.
[[ "$(cat "$game/command_lines.log")" == "$LINE1"$'\n'"$LINE2" ]] ||
    fail "the emulator got the command lines:"$'\n'"$(cat "$game/command_lines.log")"
[[ "$(cat "$game/launches.log")" == "$(arguments_of startserver 1 "0,3,0,1,1,0,20,0,3,0 -name Hawk"
    arguments_of "connect localhost" 2 "0,3,0,1,1,0,20,0,7,0 -name Viper")" ]] ||
    fail "the emulator got the arguments:"$'\n'"$(cat "$game/launches.log")"
echo "morvplay.exe from the zip started the worked example's two emulators"

for test_program in "$@"; do
    echo "== $(basename "$test_program") with the programs from the zip"
    MORV_TEST_PROGRAMS=$folder MORV_TEST_PROGRAM_SUFFIX=.exe MORV_TEST_EMULATOR=$WINE_RUN \
        MORV_TEST_STAND_IN=$STAND_IN WINEPREFIX=$PREFIX "$test_program" || fail "$(basename "$test_program") failed"
done
echo "PASS: release zip"
