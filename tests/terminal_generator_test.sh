#!/usr/bin/env bash
# Terminal tests of morvmake: the real dialogue in a tmux pane of 80 x 24,
# answered key by key as a user would, in a scratch working folder.
#
# Usage: terminal_generator_test.sh CASE PATH_TO_MORVMAKE
# Cases: closing_summary
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

term_hold_desktop "Enter demo name: " "$MORVMAKE"
case "$CASE" in
closing_summary) "case_$CASE" ;;
*) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
