#!/usr/bin/env bash
# Terminal tests of the console layer: console_probe runs in a tmux pane of
# 80 x 24 and the tests type at it and read the screen, as a user would.
#
# Usage: terminal_test.sh CASE PATH_TO_CONSOLE_PROBE
# Cases: editing long_line type_ahead colours key_wait restore utf8
# With MORV_TERMINAL_CONSOLE=wine the program is the Windows one under wine
# (see terminal_lib.sh).

source "$(dirname "$0")/terminal_lib.sh"

readonly CASE=$1
PROBE=$(realpath "$2") || exit 1
readonly PROBE

# ---- editing: a short answer edited with every key, then Enter ---------------
#
# Each row: probe step, keys, what the prompt row shows at the end, and what
# the probe prints between the brackets.
run_editing_row() {
    local step=$1 keys=$2 shown=$3 answer=$4 prompt
    # Wine's console does not know Home and End as ESC [ 1 ~ and ESC [ 4 ~ (it
    # drops them); a Windows console gets Home and End as keys, whatever the
    # terminal sends.
    if term_on_wine && [[ $keys == *"{TILDE_"* ]]; then
        return 0
    fi
    case $step in
    line) prompt="Name: " ;;
    field) prompt="Field: " ;;
    integer) prompt="Number: " ;;
    esac
    term_start "editing" "$PROBE" "$step"
    term_wait_for "$prompt"
    term_type "$keys"
    term_wait_for "[exit"
    # capture-pane drops trailing blanks, so the prompt row is compared without them.
    local prompt_row="$prompt$shown"
    prompt_row="${prompt_row%"${prompt_row##*[! ]}"}"
    term_wait_for_screen "$prompt_row"$'\n'"[$answer]"$'\n'"bye"$'\n'"[exit 0]"
}

case_editing() {
    run_editing_row line "hello{LEFT*2}X{ENTER}" "helXlo" "helXlo"
    run_editing_row line "world{HOME}hello {ENTER}" "hello world" "hello world"
    run_editing_row line "abcdef{HOME}{DEL*2}{END}{BS}{ENTER}" "cde" "cde"
    run_editing_row line "abcd{LEFT}{CTRL_H}{ENTER}" "abd" "abd"
    run_editing_row line "{LEFT}x{END}{DEL}{RIGHT}y{ENTER}" "xy" "xy"
    run_editing_row line "ab{TAB}c{ENTER}" "ab      c" "ab      c"
    run_editing_row line "abc{LEFT*2}{TAB}{ENTER}" "a       bc" "a       bc"
    run_editing_row line "abc{ESC}xyz{ENTER}" "xyz" "xyz"
    run_editing_row line "some text{ESC}{ENTER}" "" ""
    run_editing_row line "  a, \"b\"  {ENTER}" "  a, \"b\"" "  a, \"b\"  "
    run_editing_row line "cd{SS3_HOME}ab{TILDE_END}e{SS3_LEFT}{UP}-{ENTER}" "abcd-e" "abcd-e"
    run_editing_row line "xy{TILDE_HOME}w{ENTER}" "wxy" "wxy"
    run_editing_row field "  Joe Smith  , x{ENTER}" "  Joe Smith  , x" "Joe Smith  "
    run_editing_row field "\"a, b\" c{HOME}{DEL}{ENTER}" "a, b\" c" "a"
    run_editing_row integer "12{LEFT}{BS}3{ENTER}" "32" "32"
    run_editing_row integer " 7 8{HOME}{DEL}{ENTER}" "7 8" "7"
}

# ---- long_line: a line over several rows, edited in its middle ---------------

# Count characters of a text without blanks, so that no row ends in blanks
# that capture-pane would drop.
long_text() {
    local pattern="abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ" text=""
    while ((${#text} < $1)); do
        text+=$pattern
    done
    echo "${text:0:$1}"
}

# The rows a line shows on the 80-column pane.
rows_of_line() {
    local line=$1 rows=""
    while ((${#line} > PANE_COLUMNS)); do
        rows+="${line:0:PANE_COLUMNS}"$'\n'
        line=${line:PANE_COLUMNS}
    done
    echo "$rows$line"
}

# The rows a line of text shows after the prompt.
rows_of() { rows_of_line "Name: $1"; }

# Fails unless a line the probe printed is on the screen, whole.
expect_printed_line() {
    local line=$1
    if term_on_wine; then
        # Wine's console starts every row itself, so the terminal holds no
        # wrapped rows to join: the line's rows are looked for one by one. A
        # Windows console wraps a long line as an xterm does.
        [[ $'\n'"$(term_screen)"$'\n' == *$'\n'"$(rows_of_line "$line")"$'\n'* ]]
    else
        term_joined_screen | grep -qxF -- "$line"
    fi
}

# The screen from the last row that begins with the prompt to its end.
screen_from_prompt() { term_screen | awk '/^Name: /{rows=""} {rows = rows $0 "\n"} END{printf "%s", rows}'; }

# The row just above the last row that begins with the prompt.
row_above_prompt() { term_screen | awk '/^Name: /{above=previous} {previous=$0} END{print above}'; }

wait_for_rows() {
    local expected=$1 deadline=$((SECONDS + 5))
    while ((SECONDS <= deadline)); do
        [[ "$(screen_from_prompt)" == "$expected" ]] && return 0
        sleep "$POLL_SECONDS"
    done
    echo "---- expected rows from the prompt on ----"
    printf '%s\n' "$expected"
    fail "the edited line is not shown as expected"
}

# Puts the prompt on the third row (after a short first answer) or on the
# last-but-one row (after filler rows, so the line scrolls the screen), types
# text and then the editing keys. The rows from the prompt on must show exactly
# the edited text, with nothing left over from longer states, the row above it
# must be untouched, and Enter must give that text.
run_long_line_row() {
    local where=$1 text=$2 keys=$3 final=$4 above
    if [[ $where == upper ]]; then
        term_start "long-line" "$PROBE" line line
        term_wait_for "Name: "
        term_type "first{ENTER}"
        above="[first]"
    else
        term_start "long-line" "$PROBE" rows line
        above="row 22"
    fi
    term_wait_for "Name: "
    term_type "$text"
    wait_for_rows "$(rows_of "$text")"
    term_type "$keys"
    wait_for_rows "$(rows_of "$final")"
    [[ "$(row_above_prompt)" == "$above" ]] || fail "the row above the prompt is not '$above'"
    term_type "{ENTER}"
    term_wait_for "[exit 0]"
    expect_printed_line "[$final]" || fail "the probe did not print [$final]"
}

case_long_line() {
    local t200 t74 t170 t160 where
    t200=$(long_text 200)
    t74=$(long_text 74)
    t170=$(long_text 170)
    t160=$(long_text 160)
    for where in upper bottom; do
        # insert and delete in the second row of three
        run_long_line_row $where "$t200" "{HOME}{RIGHT*100}XYZ{DEL*2}" \
            "${t200:0:100}XYZ${t200:102}"
        # a line that fills its row exactly, shortened and lengthened at that edge
        run_long_line_row $where "$t74" "{BS}Q" "${t74:0:73}Q"
        run_long_line_row $where "$t74" "{HOME}!" "!$t74"
        run_long_line_row $where "$t74" "!{BS}{BS}" "${t74:0:73}"
        # deleting most of three rows must clear the rows no longer used
        run_long_line_row $where "$t170" "{HOME}{RIGHT*5}{DEL*100}" "${t170:0:5}${t170:105}"
        # moving left across a row edge, then inserting
        run_long_line_row $where "$t160" "{LEFT*90}-" "${t160:0:70}-${t160:70}"
        run_long_line_row $where "$t160" "{HOME}{RIGHT*73}{DEL}+{END}{LEFT*7}{BS}" \
            "${t160:0:73}+${t160:74:78}${t160:153}"
        # Esc on a line of three rows leaves the prompt alone on its row
        run_long_line_row $where "$t200" "{ESC}ok" "ok"
    done
}

# ---- type_ahead: keys typed before the prompt is on the screen ---------------

case_type_ahead() {
    # The program is busy (not reading) while the keys come.
    term_start "type-ahead-busy" "$PROBE" busy line
    term_wait_for "Busy"
    term_type "early bird{LEFT}{BS}{ENTER}"
    term_shows "Name: " && fail "the prompt was already there: the keys were not typed ahead"
    term_wait_for "[exit" 5
    term_wait_for_screen "Busy"$'\n'"Ready"$'\n'"Name: early bid"$'\n'"[early bid]"$'\n'"bye"$'\n'"[exit 0]"

    # A pause is cut short by the first key and hands all the keys on.
    term_start "type-ahead-pause" "$PROBE" pause line
    term_wait_for "Pausing"
    local started=$EPOCHREALTIME
    term_type "ab{LEFT}X{ENTER}"
    term_wait_for "Paused" 5
    local waited_ms=$(((${EPOCHREALTIME/./} - ${started/./}) / 1000))
    ((waited_ms < 2000)) || fail "the pause went on for $waited_ms ms after a key"
    term_wait_for "[exit" 5
    term_wait_for_screen "Pausing"$'\n'"Paused"$'\n'"Name: aXb"$'\n'"[aXb]"$'\n'"bye"$'\n'"[exit 0]"

    # The key that ends a key wait is the first key of the next prompt.
    term_start "type-ahead-key" "$PROBE" key line
    term_wait_for "Press a key"
    term_type "x"
    term_wait_for "Name: x"
    term_type "yz{ENTER}"
    term_wait_for "[exit" 5
    term_wait_for_screen "Press a key"$'\n'"Name: xyz"$'\n'"[xyz]"$'\n'"bye"$'\n'"[exit 0]"
}

# ---- colours: what set_colour shows on a terminal ----------------------------

case_colours() {
    term_start "colours" "$PROBE" line colours line
    term_wait_for "Name: "
    term_type "plain{ENTER}"
    term_wait_for "white line"
    term_type "typed{ENTER}"
    term_wait_for "[exit 0]"
    term_expect_colour "Name: plain" "39 49"
    term_expect_colour "green line" "32 40"
    term_expect_colour "red line" "31 40"
    term_expect_colour "white line" "97 40"
    # the colour stays for what follows, the echo of typed keys included
    term_expect_colour "Name: typed" "97 40"
    term_expect_colour "bye" "97 40"
}

# ---- key_wait: the program waits for a key before it ends --------------------

run_key_wait_row() {
    local keys=$1
    term_start "key-wait" "$PROBE" key
    term_wait_for "Press a key"
    sleep 1
    term_shows "bye" && fail "the program ended without a key"
    [[ -n "$(term_program_pid)" ]] || fail "the program is gone without a key"
    term_type "$keys"
    term_wait_for "[exit 0]" 2
    term_wait_for_screen "Press a key"$'\n'"bye"$'\n'"[exit 0]"
}

case_key_wait() {
    run_key_wait_row "q"
    run_key_wait_row "{LEFT}"
    run_key_wait_row "{ESC}"
}

# ---- restore: the terminal is usable again after every way out ---------------

# Each row: probe step, the text it shows when it is ready, keys typed before
# the check of raw mode, how the run ends, the exit status the reporting shell
# sees (128 + 2 for SIGINT, 128 + 15 for SIGTERM), and the whole screen after
# the end ("-": not compared; the shell reports SIGTERM in words of its own).
run_restore_row() {
    local step=$1 shown=$2 typed=$3 ending=$4 status=$5 after=$6
    term_start "restore" "$PROBE" "$step"
    term_wait_for "$shown"
    term_type "$typed"
    term_expect_raw "while the program runs"
    case $ending in
    enter) term_type "{ENTER}" ;;
    ctrl_c) term_type "{CTRL_C}" ;;
    sigterm) kill -TERM "$(term_program_pid)" ;;
    esac
    term_wait_for "[exit $status]"
    term_expect_restored "after the program ended ($ending)"
    if [[ $after != - ]]; then
        term_wait_for_screen "$after" 1
    fi
    if [[ $ending != enter ]]; then
        term_shows "bye" && fail "the program went on after $ending"
    fi
    return 0
}

case_restore() {
    run_restore_row line "Name: " "ab" enter 0 "Name: ab"$'\n'"[ab]"$'\n'"bye"$'\n'"[exit 0]"
    run_restore_row key "Press a key" "" enter 0 "Press a key"$'\n'"bye"$'\n'"[exit 0]"
    # Ctrl+C ends the run at once and prints nothing, not even a line end.
    run_restore_row line "Name: " "ab" ctrl_c 130 "Name: ab[exit 130]"
    run_restore_row key "Press a key" "" ctrl_c 130 "Press a key"$'\n'"[exit 130]"
    run_restore_row line "Name: " "ab" sigterm 143 -
    run_restore_row key "Press a key" "" sigterm 143 -
}

# ---- utf8: on a UTF-8 terminal a character of several bytes edits as one --------

case_utf8() {
    term_start "utf8" env LC_ALL=C.UTF-8 "$PROBE" line
    term_wait_for "Name: "
    term_type "n"
    tmux -L "$TERM_SOCKET" send-keys -l -- "é€"
    term_type "{BS}{LEFT}{DEL}x{ENTER}"
    term_wait_for_screen "Name: nx"$'\n'"[nx]"$'\n'"bye"$'\n'"[exit 0]"
}

term_hold_desktop "Name: " "$PROBE" line
case "$CASE" in
editing | long_line | type_ahead | colours | key_wait | restore | utf8) "case_$CASE" ;;
*) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
