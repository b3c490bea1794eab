#!/usr/bin/env bash
# "cmake --install" as a Linux user runs it, and a launch script opened from
# a file manager: the tree holds no Debian-only files, a live prefix gets its
# MIME and desktop databases refreshed and a staged one does not, the desktop entries
# are valid, the MIME types know a .MORV in any case and a .DMO, and the
# installed morvplay.desktop, started by gio as "Open with" starts it, from
# another folder, updates the COMMIT.DAT beside the launch script.
#
# Usage: desktop_install_test.sh BUILD STAND_IN
set -euo pipefail

BUILD=$(realpath "$1")
STAND_IN=$(realpath "$2")
readonly BUILD STAND_IN
readonly EXPECTED_FILES='bin/morvmake
bin/morvplay
share/applications/morvmake.desktop
share/applications/morvplay.desktop
share/doc/morv/README.md
share/doc/morv/copyright
share/man/man1/morvmake.1.gz
share/man/man1/morvplay.1.gz
share/mime/packages/morv.xml'

fail() {
    echo "FAIL: $*"
    exit 1
}

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$BUILD" --prefix /usr >/dev/null || fail "cmake --install failed"
files=$(cd "$root/usr" && find . -type f -printf '%P\n' | LC_ALL=C sort)
[[ "$files" == "$EXPECTED_FILES" ]] || fail "the install holds:"$'\n'"$files"

# The installed README speaks to someone who has the programs.
! grep -n -e 'build/' -e 'scripts/' -e '<!-- ' "$root/usr/share/doc/morv/README.md" ||
    fail "the installed README speaks of building from the source"

# Staged, the databases are left to the package's triggers.
[[ ! -e "$root/usr/share/mime/mime.cache" && ! -e "$root/usr/share/applications/mimeinfo.cache" ]] ||
    fail "a DESTDIR install refreshed the databases"
# Into a live prefix, "Open with" must work at once: both are refreshed.
live=$root/live
cmake --install "$BUILD" --prefix "$live" >/dev/null || fail "cmake --install into $live failed"
[[ -s "$live/share/mime/mime.cache" ]] || fail "a live install left no mime.cache"
grep -q 'application/x-morv-launch-script=morvplay.desktop' "$live/share/applications/mimeinfo.cache" ||
    fail "a live install left the desktop database without morvplay"

share=$root/usr/share
for entry in morvmake morvplay; do
    complaints=$(desktop-file-validate "$share/applications/$entry.desktop" 2>&1) || true
    [[ -z "$complaints" ]] || fail "desktop-file-validate $entry.desktop:"$'\n'"$complaints"
done

# The types as a desktop reads them, from the installed database before the
# system's own. A space in the folder's name tries the entries' quoting.
update-mime-database "$share/mime" 2>/dev/null
game="$root/game folder"
mkdir "$game"
while read -r name type; do
    printf 'PLAYERS = 1\r\n' >"$game/$name"
    found=$(XDG_DATA_DIRS=$share:/usr/share gio info -a standard::content-type "$game/$name")
    [[ "$found" == *"standard::content-type: $type" ]] || fail "$name is taken as:"$'\n'"$found"
    rm "$game/$name"
done <<'TYPES'
DUEL01.MORV application/x-morv-launch-script
duel01.Morv application/x-morv-launch-script
DUEL01.DMO application/x-morv-demo
TYPES

# A terminal that runs its -e command and records how that ended.
mkdir "$root/terminal"
cat >"$root/terminal/xterm" <<'TERMINAL'
#!/bin/sh
[ "$1" = -e ] && shift
"$@" </dev/null >/dev/null
echo "$?" >"$TERMINAL_DONE"
TERMINAL
chmod +x "$root/terminal/xterm"
cp "$STAND_IN" "$game/dosbox.exe"
printf 'PLAYERS = 1\r\nINSTANCE1 = C:\r\n' >"$game/DUEL01.MORV"
printf '[net]\r\nNUMPLAYERS = 4\r\n' >"$game/COMMIT.DAT"
(cd / && TERMINAL_DONE=$root/done PATH=$root/terminal:$root/usr/bin:/usr/bin:/bin \
    XDG_DATA_DIRS=$share:/usr/share gio launch "$share/applications/morvplay.desktop" \
    "$game/DUEL01.MORV") || fail "gio launch failed"
for _ in $(seq 100); do
    [[ -f "$root/done" ]] && break
    sleep 0.2
done
[[ "$(cat "$root/done" 2>/dev/null)" == 0 ]] || fail "morvplay did not end with status 0"
[[ "$(cat "$game/COMMIT.DAT")" == $'[net]\r\nNUMPLAYERS = 1\r' ]] || fail "COMMIT.DAT was not updated"
[[ -f "$game/launches.log" ]] || fail "the emulator was not started in the game's folder"
echo "PASS: install tree, desktop entries and gio launch"
