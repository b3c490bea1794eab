#!/usr/bin/env bash
# Terminal tests of morvmake: the real dialogue in a tmux pane of 80 x 24,
# answered key by key as a user would, in a scratch working folder.
#
# Usage: terminal_generator_test.sh CASE PATH_TO_MORVMAKE
# Cases: closing_summary hangup
# With MORV_TERMINAL_CONSOLE=wine the program is the Windows one under wine
# (see terminal_lib.sh).

source "$(dirname "$0")/terminal_lib.sh"

readonly CASE=$1
MORVMAKE=$(realpath "$2") || exit 1
readonly MORVMAKE

# Waits for each prompt in turn and answers it; "prompt=answer" pairs.
answer_prompts() {
    local pair
    for pair in "$@"; do
        term_wait_for "${pair%%=*}" 5
        term_type "${pair#*=}{ENTER}"
    done
}

# A one-player level run typed by hand: the summary in its colours, then the
# program waits for a key, ends, and hands back a sane terminal.
case_closing_summary() {
    : >"$TERM_SCRATCH/duel01.dmo"
    term_start "morvmake" "$MORVMAKE"
    answer_prompts "Enter demo name: =duel01" \
        "Enter number of players (1-8): =1" \
        "(M)ap or (L)evel: =L" \
        "Enter level number: =5" \
        "Player 1 Name: =Hawk" \
        "Player 1 Color (0-7): =2" \
        "Kills for Hawk: =3"
    term_wait_for "Players     : 1" 5
    term_expect_colour "Demo folder generated successfully!" "32 40"
    term_expect_colour "BANZAI!!" "32 40"
    term_expect_colour "Your .MORV : duel01.MORV" "97 40"
    term_expect_colour "Demo used   : duel01.dmo" "97 40"
    term_expect_colour "Players     : 1" "97 40"
    term_expect_raw "while morvmake waits for a key"

    sleep 1
    term_shows "[exit" && fail "morvmake ended without a key"
    [[ -n "$(term_program_pid)" ]] || fail "morvmake is gone without a key"
    term_type "x"
    term_wait_for "[exit 0]" 2
    term_expect_restored "after morvmake ended"
    [[ -f "$TERM_SCRATCH/duel01.MORV" ]] || fail "no launch script duel01.MORV was written"
}

# Every entry of a folder with its size, and every file's checksum.
folder_state() {
    (cd "$1" && find . -printf '%y %p %s\n' | sort && find . -type f -exec sha256sum {} + | sort)
}

# The program the pane's shells started: the last of the first children.
innermost_pid() {
    local pid=$1
    while pgrep -P "$pid" >/dev/null; do pid=$(pgrep -P "$pid" | head -n 1); done
    echo "$pid"
}

# The terminal closed (the pane killed) at a name prompt with a name typed
# and not confirmed: the run ends there and the folder, holding a good launch
# script, stays as it was. Each row: how the pane's shell starts the shell
# that runs morvmake in the folder (with the hangup signal ignored, in a
# session of its own), and the exit status that shell then records: any when
# the hangup signal may reach morvmake and that shell before the end of input.
case_hangup() {
    local row prelude status folder="$TERM_SCRATCH/play" before pid
    for row in "|*" "trap '' HUP;|0" "setsid|0"; do
        prelude=${row%%|*} status=${row#*|}
        rm -rf "$folder" "$TERM_SCRATCH/status"
        mkdir "$folder"
        : >"$folder/DUEL01.DMO"
        printf 'PLAYERS = 1\r\nINSTANCE1 = ipxsetup -map\r\n' >"$folder/DUEL01.MORV"
        before=$(folder_state "$folder")
        # shellcheck disable=SC2016 # expanded by the shells in the pane
        term_start "hangup" sh -c "$prelude"' sh -c "$1" "$0"' "$MORVMAKE" \
            'cd play; "$0" DUEL01.DMO; echo $? >../status'
        answer_prompts "Enter number of players (1-8): =1" "(M)ap or (L)evel: =L" \
            "Enter level number: =5"
        term_wait_for "Player 1 Name: " 5
        term_type "Hawk"
        term_wait_for "Player 1 Name: Hawk" 5
        pid=$(innermost_pid "$(term_program_pid)")
        tmux -L "$TERM_SOCKET" kill-pane
        timeout "$WAIT_SECONDS" tail --pid="$pid" -f /dev/null ||
            fail "[$prelude] morvmake went on after the hangup"
        [[ "$(folder_state "$folder")" == "$before" ]] ||
            fail "[$prelude] the folder changed: $(ls -a "$folder")"
        # shellcheck disable=SC2053 # the status is a pattern
        [[ "$(cat "$TERM_SCRATCH/status" 2>/dev/null)" == $status ]] ||
            fail "[$prelude] exit status '$(cat "$TERM_SCRATCH/status")', expected '$status'"
    done
}

term_hold_desktop "Enter demo name: " "$MORVMAKE"
case "$CASE" in
closing_summary | hangup) "case_$CASE" ;;
*) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
