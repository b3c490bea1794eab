#!/usr/bin/env bash
# Terminal tests of the keys a user types at morvmake's prompts beyond the
# plain ones: Alt combinations, CR LF, the Linux text console's F-keys and
# the control keys of a shell. Each case compares what the screen shows with
# what reaches the launch script or the demo folder's name: the answer kept
# must be the one on the screen.
#
# Usage: terminal_keys_test.sh CASE PATH_TO_MORVMAKE
# Cases: alt_keys crlf linux_function_keys ctrl_keys
# With MORV_TERMINAL_CONSOLE=wine the program is the Windows one under wine
# (see terminal_lib.sh).

source "$(dirname "$0")/terminal_lib.sh"

readonly CASE=$1
MORVMAKE=$(realpath "$2") || exit 1
readonly MORVMAKE
readonly SCRIPT_FILE="$TERM_SCRATCH/DUEL01.MORV"

KEY_BYTES+=(
    [ALT_B]="1b 62" [ALT_BS]="1b 7f" [ALT_ENTER]="1b 0d" [ALT_UP]="1b 1b 5b 41"
    [LF]="0a" [CRLF]="0d 0a"
    [LINUX_F1]="1b 5b 5b 41" [LINUX_F2]="1b 5b 5b 42" [LINUX_F3]="1b 5b 5b 43"
    [LINUX_F4]="1b 5b 5b 44" [LINUX_F5]="1b 5b 5b 45"
    [CTRL_A]="01" [CTRL_B]="02" [CTRL_D]="04" [CTRL_E]="05" [CTRL_F]="06"
    [CTRL_K]="0b" [CTRL_U]="15" [CTRL_W]="17"
)

# morvmake on a two-player map match, answered up to "Player 1 Name:"; the
# answers end with the key named by $1 (ENTER or CRLF).
open_player_1_name() {
    local enter=${1:-ENTER}
    : >"$TERM_SCRATCH/DUEL01.DMO"
    : >"$TERM_SCRATCH/ARENA.map"
    term_start "morvmake" "$MORVMAKE" DUEL01.DMO
    term_wait_for "Enter number of players (1-8): " "$START_SECONDS"
    term_type "2{$enter}"
    term_wait_for "(M)ap or (L)evel: " 5
    term_type "m{$enter}"
    term_wait_for "Enter map name: " 5
    term_type "ARENA{$enter}"
    term_wait_for "Player 1 Name: " 5
}

# Sends text as one write, the way a terminal hands over a paste.
paste_text() {
    # shellcheck disable=SC2046 # one word per byte
    tmux -L "$TERM_SOCKET" send-keys -H $(printf '%s' "$1" | od -An -tx1)
}

# The screen's last row that holds anything, without its trailing blanks.
last_row() { term_screen | tail -n 1; }

wait_for_last_row() {
    local expected=$1 deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS <= deadline)); do
        [[ "$(last_row)" == "$expected" ]] && return 0
        sleep "$POLL_SECONDS"
    done
    fail "the last row did not become '$expected'"
}

# Each row must be on the screen exactly once, as a whole row.
expect_rows() {
    local row count
    for row in "$@"; do
        count=$(term_screen | grep -cxF -- "$row")
        ((count == 1)) || fail "the screen shows the row '$row' $count times, expected once"
    done
}

# Player number's line of the launch script ends in exactly this colour and
# name (and the line end).
expect_player_in_script() {
    local number=$1 colour=$2 name=$3 line
    [[ -f "$SCRIPT_FILE" ]] || fail "no launch script DUEL01.MORV was written"
    line=$(grep -a "^INSTANCE$number = " "$SCRIPT_FILE")
    [[ "$line" == *"-autonet 0,3,0,1,1,0,20,0,$colour,0 -name $name"$'\r' ]] ||
        fail "player $number in the launch script: '$line', expected colour $colour, name '$name'"
}

# Alt+B, Alt+Backspace, Alt+Up and Alt+Enter change nothing; a lone Esc still
# empties the line.
case_alt_keys() {
    open_player_1_name
    # Wine's console splits a terminal's Alt+Up (ESC ESC [ A) into Alt+Esc and
    # the characters [ and A, which are typed keys by the console's events; a
    # Windows console sends Up with the Alt flag.
    local alt_up="{ALT_UP}"
    term_on_wine && alt_up=""
    term_type "Hawk the{ALT_B}{ALT_BS} Great$alt_up{ALT_ENTER}!"
    # The "!" is on the name's line only if Alt+Enter did not end it.
    wait_for_last_row "Player 1 Name: Hawk the Great!"
    term_type "{BS}{ENTER}"
    term_wait_for "Player 1 Color (0-7): " 5
    term_type "3{ENTER}"
    term_wait_for "Player 2 Name: " 5
    term_type "junk{ESC}"
    wait_for_last_row "Player 2 Name:"
    term_type "{ALT_ENTER}Viper{ENTER}"
    term_wait_for "Player 2 Color (0-7): " 5
    term_type "5{ENTER}"
    term_wait_for "Kills for Hawk the Great: " 5
    expect_rows "Player 1 Name: Hawk the Great" "Player 1 Color (0-7): 3" \
        "Player 2 Name: Viper" "Player 2 Color (0-7): 5"
    expect_player_in_script 1 3 "Hawk the Great"
    expect_player_in_script 2 5 "Viper"
}

# Answers ended with CR LF, pasted in one write or typed, and an LF that
# comes only after the next prompt is up: each answer lands at its question,
# and the LF ends no key wait.
case_crlf() {
    open_player_1_name CRLF
    expect_rows "Enter number of players (1-8): 2" "(M)ap or (L)evel: m" \
        "Enter map name: ARENA" "Player 1 Name:"
    paste_text $'Hawk\r\n3\r\n'
    term_wait_for "Player 2 Name: " 5
    term_type "Viper{ENTER}"
    term_wait_for "Player 2 Color (0-7): " 5
    term_type "{LF}"
    term_type "5{CRLF}"
    term_wait_for "Kills for Hawk: " 5
    term_type "2{CRLF}"
    term_wait_for "Kills for Viper: " 5
    term_type "1{ENTER}"
    term_wait_for "Players     : 2" 5
    term_type "{LF}"
    sleep 1
    term_shows "[exit" && fail "the LF of an Enter ended the key wait"
    expect_rows "Demo folder generated successfully!" "Player 1 Name: Hawk" "Player 1 Color (0-7): 3" \
        "Player 2 Name: Viper" "Player 2 Color (0-7): 5" "Kills for Hawk: 2" "Kills for Viper: 1"
    expect_player_in_script 1 3 "Hawk"
    expect_player_in_script 2 5 "Viper"
    grep -aq "^PLAYERS = 2"$'\r'"\$" "$SCRIPT_FILE" || fail "the launch script is not for 2 players"
    compgen -G "$TERM_SCRATCH/Hawk\[2\]xViper\[1\]ARENA_*" >/dev/null ||
        fail "no demo folder Hawk[2]xViper[1]ARENA_*: $(ls "$TERM_SCRATCH")"
    term_type "x"
    term_wait_for "[exit 0]" 5
}

# F1 to F5 of the Linux text console insert nothing.
case_linux_function_keys() {
    open_player_1_name
    term_type "Ha{LINUX_F1}{LINUX_F2}w{LINUX_F3}{LINUX_F4}k{LINUX_F5}"
    wait_for_last_row "Player 1 Name: Hawk"
    term_type "{ENTER}"
    term_wait_for "Player 1 Color (0-7): " 5
    term_type "3{ENTER}"
    term_wait_for "Player 2 Name: " 5
    term_type "{LINUX_F1}Viper{LINUX_F5}{ENTER}"
    term_wait_for "Player 2 Color (0-7): " 5
    term_type "5{ENTER}"
    term_wait_for "Kills for Hawk: " 5
    expect_rows "Player 1 Name: Hawk" "Player 2 Name: Viper"
    expect_player_in_script 1 3 "Hawk"
    expect_player_in_script 2 5 "Viper"
}

# Ctrl+A, E, B, F, D, H, U, K and W edit as in a shell; Ctrl+D on an empty
# line is no end of input.
case_ctrl_keys() {
    open_player_1_name
    term_type "the Hawk Graet{CTRL_W}"
    wait_for_last_row "Player 1 Name: the Hawk"
    term_type "{CTRL_A}{CTRL_D*4}{CTRL_E}the Graet{CTRL_B*2}{CTRL_H}{CTRL_F}a"
    wait_for_last_row "Player 1 Name: Hawk the Great"
    term_type "{CTRL_E}{ENTER}"
    term_wait_for "Player 1 Color (0-7): " 5
    term_type "{CTRL_D}3{ENTER}"
    term_wait_for "Player 2 Name: " 5
    term_type "junk Viper{CTRL_B*5}{CTRL_U}"
    wait_for_last_row "Player 2 Name: Viper"
    term_type "{CTRL_E}ZZZ{CTRL_B*3}{CTRL_K}{ENTER}"
    term_wait_for "Player 2 Color (0-7): " 5
    term_type "5{ENTER}"
    term_wait_for "Kills for Hawk the Great: " 5
    expect_rows "Player 1 Name: Hawk the Great" "Player 1 Color (0-7): 3" \
        "Player 2 Name: Viper" "Player 2 Color (0-7): 5"
    expect_player_in_script 1 3 "Hawk the Great"
    expect_player_in_script 2 5 "Viper"
}

term_hold_desktop "Enter demo name: " "$MORVMAKE"
case "$CASE" in
alt_keys | crlf | linux_function_keys | ctrl_keys) "case_$CASE" ;;
*) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
