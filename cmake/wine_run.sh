#!/bin/sh
# Runs a Windows program under wine: wine_run.sh [--prefix DIR] PROGRAM ARGS...
# "--prepare" in the place of the program only prepares the prefix and its
# server; "--stop" ends the server and every program in the prefix.
#
# Wine is slow to start and hangs whoever waits for its output when it has to
# set up a prefix or start its server on the way, so both are done here first,
# once, with their output detached: the prefix is made with "wineboot -i" on
# first use, and a server is kept running between programs until
# MORV_WINE_PERSIST seconds (default 60) after the last one ended.
set -eu

# A caller may have emptied PATH; the tools are found where they are installed.
PATH="${PATH:+$PATH:}/usr/local/bin:/usr/bin:/bin"

prefix=${WINEPREFIX:-${TMPDIR:-/tmp}/morv-wine-$(id -u)}
if [ "${1:-}" = --prefix ]; then
    prefix=$2
    shift 2
fi
export WINEPREFIX="$prefix"
export WINEDEBUG="${WINEDEBUG:--all}"

if [ "${1:-}" = --stop ]; then
    wineserver -k 2>/dev/null || true
    exit 0
fi

# Debian keeps the 64-bit loader out of PATH; its "wine" wrapper prints a
# warning about the missing 32-bit part on every start.
if command -v wine64 >/dev/null 2>&1; then
    wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
else
    wine=wine
fi

mkdir -p "$prefix"
# Programs started side by side (ctest -j) prepare the prefix only once.
exec 9>"$prefix.lock"
flock 9
# A new server starts wine's own background programs with the first program
# that runs, which would hold that program's output open; wineboot starts them
# first, detached. Neither they nor the server may hold the lock.
if wineserver -p"${MORV_WINE_PERSIST:-60}" </dev/null >/dev/null 2>&1 9>&-; then
    if [ -f "$prefix/.morv-ready" ]; then
        "$wine" wineboot </dev/null >/dev/null 2>&1 9>&-
    fi
fi
if [ ! -f "$prefix/.morv-ready" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    touch "$prefix/.morv-ready"
fi
exec 9>&-

if [ "${1:-}" = --prepare ]; then
    exit 0
fi
exec "$wine" "$@"
