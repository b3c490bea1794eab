#!/usr/bin/env bash
# Terminal tests of the Windows programs under wine with the console events
# a Windows console sends and a terminal cannot: a bare Esc key right before
# other keys, an Alt key, a new window size during key waits and pauses, and
# names in the console's code page (437, or UTF-8) on a system whose ANSI
# code page differs (1252, wine's under LANG=C.UTF-8). console_feeder.exe
# writes the events into the console's input and starts the program under
# test on the same console, in a tmux pane.
#
# Usage: terminal_console_events_test.sh CASE WINDOWS_BIN_FOLDER FEEDER_WRAPPER
# Cases: morvmake_names morvmake_utf8 morvplay_pauses
source "$(dirname "$0")/terminal_lib.sh"
readonly CASE=$1
WINDOWS_BIN=$(realpath "$2") || exit 1
FEEDER=$(realpath "$3") || exit 1
readonly WINDOWS_BIN FEEDER

# The program as wine names it: its drive Z: is the root folder.
windows_program() {
    local path="$WINDOWS_BIN/$1.exe"
    printf 'Z:%s' "${path//\//\\}"
}

# Runs the feeder with its steps in the pane; what it reports goes to
# feeder.log in the scratch folder.
# shellcheck disable=SC2016 # expanded by the shell in the pane
start_feeder() {
    term_start "feeder" bash -c 'exec "$0" "$@" 2>feeder.log' "$FEEDER" "$@"
}

feeder_ended() {
    term_wait_for "[exit" 60
    term_shows "[exit 0]" || fail "the feeder failed: $(cat "$TERM_SCRATCH/feeder.log")"
}

# A dropped Déjà.dmo and a player José: both are shown, stored and named on
# disk as the same characters. On the way, an Esc with a name right after it
# in one batch of events empties the line and keeps the name; and a size
# event at the final wait leaves the next key to end the program.
case_morvmake_names() {
    : >"$TERM_SCRATCH/Déjà.dmo"
    start_feeder "show:Demo file : Déjà.dmo" "show:Enter number of players" text:1 enter \
        "show:(M)ap or (L)evel" text:L enter "show:Enter level number" text:5 enter \
        "show:Player 1 Name" text:garbage esc text:José enter \
        "show:Player 1 Color" text:2 enter "show:Kills for José" text:3 enter \
        "show:Players     : 1" size waiting text:x \
        -- "$(windows_program morvmake)" "Déjà.dmo"
    feeder_ended
    term_shows "Creating demo folder: José[3]L5_" || fail "the folder is not shown as named"
    local folders=("$TERM_SCRATCH"/José\[3\]L5_*)
    [[ -d "${folders[0]}" ]] || fail "no folder José[3]L5_* on disk: $(ls "$TERM_SCRATCH")"
    [[ -f "${folders[0]}/Déjà.dmo" && -f "${folders[0]}/Déjà.MORV" ]] ||
        fail "the folder lacks Déjà.dmo or Déjà.MORV: $(ls "${folders[0]}")"
    # The launch script holds both names in the console's code page 437.
    LC_ALL=C grep -q -e $'-dpD\x82j\x85\\.dmo .*-name Jos\x82\r$' "$TERM_SCRATCH/Déjà.MORV" ||
        fail "Déjà.MORV does not hold both names in code page 437"
}

# With the console in UTF-8 a typed é is its two bytes on the screen, in the
# launch script and in the folder's name; Alt+[ right before a name types
# nothing and leaves the name's first letter alone.
case_morvmake_utf8() {
    : >"$TERM_SCRATCH/duel.dmo"
    start_feeder cp:65001 "show:Enter number of players" text:2 enter \
        "show:(M)ap or (L)evel" text:L enter "show:Enter level number" text:5 enter \
        "show:Player 1 Name" text:Josué enter "show:Player 1 Color" text:2 enter \
        "show:Player 2 Name" alt:[ text:bcd enter "show:Player 2 Color" text:3 enter \
        "show:Kills for Josué" text:3 enter "show:Kills for bcd" text:2 enter \
        "show:Players     : 2" text:x -- "$(windows_program morvmake)" duel.dmo
    feeder_ended
    local folders=("$TERM_SCRATCH"/Josué\[3\]xbcd\[2\]L5_*)
    [[ -d "${folders[0]}" ]] || fail "no folder Josué[3]xbcd[2]L5_* on disk: $(ls "$TERM_SCRATCH")"
    local script="$TERM_SCRATCH/duel.MORV"
    if ! LC_ALL=C grep -q -e $'-name Josu\xc3\xa9\r$' "$script" ||
        ! LC_ALL=C grep -q -e $'-name bcd\r$' "$script"; then
        fail "duel.MORV lacks Josué in UTF-8 or bcd: $(cat -v "$script")"
    fi
}

# A size event in the first pause; a key in the second pause still cuts it,
# and the next key ends the final wait. A third pause takes the key instead
# when a slow machine shows the second launch too late for the key to reach
# its pause, so the final wait is never ended by that key.
case_morvplay_pauses() {
    {
        printf 'PLAYERS = 3\r\n'
        printf 'INSTANCE%s\r\n' '1 = ipxsetup one' '2 = ipxsetup two' '3 = ipxsetup three'
    } >"$TERM_SCRATCH/duel.MORV"
    printf 'NUMPLAYERS = 4\r\n' >"$TERM_SCRATCH/COMMIT.DAT"
    start_feeder 'show:-c "ipxsetup one"' size 'show:-c "ipxsetup two"' text:k 'soon:-c "ipxsetup three"' \
        "show:All instances launched." waiting text:x \
        -- "$(windows_program morvplay)" duel.MORV
    feeder_ended
}

case "$CASE" in
morvmake_names | morvmake_utf8 | morvplay_pauses) "case_$CASE" ;;
*) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
