#!/usr/bin/env bash
# Terminal tests of what the screen shows of a typed answer against what
# morvmake keeps of it: a resized window, a suspension and fg, wide
# characters, a dumb terminal, NO_COLOR, an answer that fills its row and
# Ctrl+L. Each case compares the pane with the name that reaches the launch
# script and the demo folder's name.
#
# Usage: terminal_screen_test.sh CASE PATH_TO_MORVMAKE
# Cases: resize resize_wrapped suspend wide dumb no_term no_color full_row clear_screen
#        file_output emoji clear_resize tall_answer

source "$(dirname "$0")/terminal_lib.sh"

readonly CASE=$1
MORVMAKE=$(realpath "$2") || exit 1
readonly MORVMAKE
readonly NAME_PROMPT="Player 1 Name: "
# The raw bytes the pane's program wrote, for the cases that look at them.
readonly PANE_BYTES="$TERM_SCRATCH/pane.bytes"

prepare_folder() {
    : >"$TERM_SCRATCH/DUEL01.DMO"
    : >"$TERM_SCRATCH/ARENA.map"
}

# Starts morvmake on the demo with the environment changes given (env
# arguments such as TERM=dumb or -u TERM). It waits until the pane's output
# is being recorded, so that every byte it writes is in PANE_BYTES.
start_morvmake() {
    prepare_folder
    rm -f "$TERM_SCRATCH/go"
    # shellcheck disable=SC2016 # expanded by the shell in the pane
    term_start "screen" env "$@" sh -c 'while [ ! -e go ]; do sleep 0.05; done; exec "$0" "$@"' \
        "$MORVMAKE" DUEL01.DMO
    tmux -L "$TERM_SOCKET" pipe-pane -o "cat >>'$PANE_BYTES'"
    touch "$TERM_SCRATCH/go"
}

answer() {
    term_wait_for "$1"
    term_type "$2{ENTER}"
}

# Up to the open "Player 1 Name:" prompt: two players, map ARENA.
open_name_prompt() {
    answer "Enter number of players (1-8): " 2
    answer "(M)ap or (L)evel: " m
    answer "Enter map name: " ARENA
    term_wait_for "$NAME_PROMPT"
}

# The rest of the run after Player 1's name: colours, a second player, kills
# 3 and 4, and the closing key; the program has ended when the last row is
# the given one ("[exit 0]" from the pane's own shell by default).
finish_run() {
    local last_row=${1:-"[exit 0]"}
    answer "Player 1 Color (0-7): " 1
    answer "Player 2 Name: " Bob
    answer "Player 2 Color (0-7): " 2
    term_wait_for "Kills for "
    term_type "3{ENTER}"
    answer "Kills for Bob: " 4
    term_wait_for "Players     : 2"
    term_type "x"
    local deadline=$((SECONDS + WAIT_SECONDS))
    until [[ "$(term_screen | tail -n 1)" == "$last_row" ]]; do
        ((SECONDS <= deadline)) || fail "morvmake did not end after the closing key"
        sleep "$POLL_SECONDS"
    done
}

# Fails unless the launch script and the demo folder carry exactly name for
# Player 1.
expect_stored_name() {
    local name=$1 script="$TERM_SCRATCH/DUEL01.MORV" line
    [[ -f "$script" ]] || fail "no launch script was written"
    line=$(grep -a '^INSTANCE1 = ' "$script" | tr -d '\r')
    [[ "$line" == *" -name $name" ]] || fail "the launch script holds '$line', not the name '$name'"
    [[ -d "$TERM_SCRATCH/${name}[3]xBob[4]ARENA_$(date -r "$TERM_SCRATCH/DUEL01.DMO" +%d.%m.%Y)" ]] ||
        fail "no demo folder for '$name': $(ls "$TERM_SCRATCH")"
}

# The joined screen row that starts with the name prompt, trailing blanks dropped.
name_row() {
    term_joined_screen | grep -a "^$NAME_PROMPT" | tail -n 1 | sed -e 's/ *$//'
}

expect_name_row() {
    local expected=$1 deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS <= deadline)); do
        [[ "$(name_row)" == "$expected" ]] && return 0
        sleep "$POLL_SECONDS"
    done
    fail "the name row shows '$(name_row)', expected '$expected'"
}

# Fails unless exactly one row of the screen starts with the name prompt.
expect_one_name_row() {
    local count
    count=$(term_screen | grep -ac "^$NAME_PROMPT")
    ((count == 1)) || fail "the screen shows the name prompt $count times"
}

cursor_column() { tmux -L "$TERM_SOCKET" display -p '#{cursor_x}'; }

expect_cursor_column() {
    local expected=$1 deadline=$((SECONDS + WAIT_SECONDS))
    while ((SECONDS <= deadline)); do
        [[ "$(cursor_column)" == "$expected" ]] && return 0
        sleep "$POLL_SECONDS"
    done
    fail "the cursor stands in column $(cursor_column), expected $expected"
}

resize_to() {
    tmux -L "$TERM_SOCKET" resize-window -x "$1"
    # The program draws again on the signal; a key typed before it would be
    # drawn for the old width and then again, which is right but not what is
    # meant to be shown here.
    sleep 0.3
}

# Types text as its bytes (UTF-8 whatever the test's own locale is).
type_bytes() {
    term_wait_until_raw
    # shellcheck disable=SC2046 # one word per byte
    tmux -L "$TERM_SOCKET" send-keys -H $(printf '%s' "$1" | od -An -tx1)
}

wait_in_file() {
    local file=$1 text=$2 deadline=$((SECONDS + START_SECONDS))
    until grep -qaF -- "$text" "$file" 2>/dev/null; do
        ((SECONDS <= deadline)) || fail "$file did not get '$text'"
        sleep "$POLL_SECONDS"
    done
}

# ---- cases ---------------------------------------------------------------------

# The window narrowed during the prompt, the text typed and mostly erased,
# widened again, then Home and a character: every step as the text is.
case_resize() {
    start_morvmake
    open_name_prompt
    resize_to 30
    term_type "The quick brown fox jumps over{BS*20}"
    expect_name_row "${NAME_PROMPT}The quick"
    expect_one_name_row
    resize_to 80
    term_type "{HOME}X"
    expect_name_row "${NAME_PROMPT}XThe quick"
    expect_cursor_column 16
    expect_one_name_row
    term_type "{ENTER}"
    finish_run
    expect_stored_name "XThe quick"
}

# A line over two rows, narrowed to four rows and widened again, edited in
# its middle each time.
case_resize_wrapped() {
    local text="Hawk the Great of the Northern Wastes, slayer of many foes and"
    text+=" friend to all who pass"
    start_morvmake
    open_name_prompt
    term_type "$text"
    expect_name_row "$NAME_PROMPT$text"
    resize_to 30
    term_type "{HOME}({END})"
    expect_name_row "$NAME_PROMPT($text)"
    expect_one_name_row
    [[ "$(term_screen | grep -a -A 4 "^$NAME_PROMPT" | head -n 2 | tail -n 1)" == \
        "${NAME_PROMPT:15}$(printf '%s' "($text" | cut -c 16-45)" ]] ||
        fail "the second row of the name is not wrapped at 30 columns"
    resize_to 80
    term_type "{LEFT*5}-"
    expect_name_row "$NAME_PROMPT(${text:0:${#text}-4}-${text: -4})"
    expect_one_name_row
    term_type "{ENTER}"
    finish_run
    expect_stored_name "(${text:0:${#text}-4}-${text: -4})"
}

# Ctrl+Z under an interactive shell, then fg: the prompt and the text are
# back, the cursor where it was, and typing goes on from there.
case_suspend() {
    prepare_folder
    term_start "suspend" env PS1='$ ' bash --norc -i
    term_wait_for "$ "
    term_type "$MORVMAKE DUEL01.DMO{ENTER}"
    open_name_prompt
    term_type "Hawk{LEFT}"
    expect_name_row "${NAME_PROMPT}Hawk"
    tmux -L "$TERM_SOCKET" send-keys -H 1a
    term_wait_for "Stopped"
    term_type "fg{ENTER}"
    local deadline=$((SECONDS + WAIT_SECONDS))
    until [[ "$(term_screen | tail -n 1)" == "${NAME_PROMPT}Hawk" ]]; do
        ((SECONDS <= deadline)) || fail "after fg the last row is not the prompt with Hawk"
        sleep "$POLL_SECONDS"
    done
    expect_cursor_column 18
    term_expect_raw "after fg"
    term_type "e"
    expect_name_row "${NAME_PROMPT}Hawek"
    term_type "{ENTER}"
    finish_run "$"
    expect_stored_name "Hawek"
}

# Wide and combining characters on a UTF-8 terminal: the cursor and the
# wrapping go by display columns.
case_wide() {
    export LC_ALL=C.UTF-8
    start_morvmake LANG=C.UTF-8
    open_name_prompt
    type_bytes "日本語"
    term_type "{LEFT}X"
    expect_name_row "${NAME_PROMPT}日本X語"
    expect_cursor_column 20
    # e with a combining acute accent: one column, one step of the cursor.
    term_type "{END}"
    local e_acute=$'e\xcc\x81'
    type_bytes "$e_acute"
    term_type "{LEFT*2}-"
    expect_name_row "${NAME_PROMPT}日本X-語${e_acute}"
    expect_cursor_column 21
    # At 30 columns the last wide character would straddle the first row's
    # edge: it starts the second row, as the terminal puts it.
    resize_to 30
    term_type "{END}a"
    type_bytes "大小中"
    term_type "{HOME}"
    expect_cursor_column 15
    local first_row second_row
    first_row=$(term_screen | grep -a "^$NAME_PROMPT" | tail -n 1)
    second_row=$(term_screen | grep -a -A 1 "^$NAME_PROMPT" | tail -n 1)
    [[ "$first_row" == "${NAME_PROMPT}日本X-語${e_acute}a大小" ]] || fail "first row is '$first_row'"
    [[ "$second_row" == "中" ]] || fail "second row is '$second_row'"
    term_type "{ENTER}"
    finish_run
    expect_stored_name "日本X-語${e_acute}a大小中"
}

resize_window() {
    tmux -L "$TERM_SOCKET" resize-window -x "$1" -y "$2"
    sleep 0.3
}

# Ctrl+L, then resizes: the prompt and the answer stand once.
case_clear_resize() {
    start_morvmake
    resize_window 40 10
    open_name_prompt
    tmux -L "$TERM_SOCKET" send-keys -H 0c
    term_type "abcdefghijklmnopqrstuvwxyz1234"
    expect_name_row "${NAME_PROMPT}abcdefghijklmnopqrstuvwxyz1234"
    local columns
    for columns in 80 20 60 30 80; do
        resize_window "$columns" 10
        expect_name_row "${NAME_PROMPT}abcdefghijklmnopqrstuvwxyz1234"
        expect_one_name_row
    done
    term_type "{HOME}X{ENTER}"
    resize_window 80 24
    finish_run
    expect_stored_name "Xabcdefghijklmnopqrstuvwxyz1234"
}

# Answers taller than the window: edits at their start and their end show
# where the answer really changed, with the cursor there.
case_tall_answer() {
    local long
    long=$(printf 'a%.0s' {1..200})
    start_morvmake
    open_name_prompt
    resize_window 40 5
    term_type "$long"
    term_type "{ESC}hi"
    term_wait_for_screen "${NAME_PROMPT}hi"
    long=$(printf '0123456789%s' {a..h})
    resize_window 20 4
    term_type "{ESC}$long{HOME}X"
    [[ "$(term_screen | head -n 1)" == "${NAME_PROMPT:0:15}X0123" ]] ||
        fail "the top row does not show the prompt and X"
    [[ "$(tmux -L "$TERM_SOCKET" display -p '#{cursor_x},#{cursor_y}')" == "16,0" ]] ||
        fail "the cursor is not after the X"
    resize_window 80 4
    expect_name_row "${NAME_PROMPT}X$long"
    expect_one_name_row
    term_type "{END}Z{ENTER}"
    resize_window 80 24
    finish_run
    expect_stored_name "X${long}Z"
}

# Emoji sequences, a skin tone and a flag: the cursor steps over each
# whole and stands where tmux draws it (a ZWJ sequence in two columns).
case_emoji() {
    local man=$'\xf0\x9f\x91\xa8' woman=$'\xf0\x9f\x91\xa9' girl=$'\xf0\x9f\x91\xa7'
    local zwj=$'\xe2\x80\x8d' thumb=$'\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd'
    local flag=$'\xf0\x9f\x87\xaf\xf0\x9f\x87\xb5'
    export LC_ALL=C.UTF-8
    start_morvmake LANG=C.UTF-8
    open_name_prompt
    type_bytes "B$man$zwj${woman}C"
    term_type "{LEFT*2}y"
    expect_name_row "${NAME_PROMPT}By$man$zwj${woman}C"
    expect_cursor_column 17
    term_type "{ESC}"
    type_bytes "A$man$zwj$woman$zwj${girl}B${thumb}C${flag}D"
    term_type "{HOME}{END}"
    expect_cursor_column 27
    term_type "{LEFT*4}-{RIGHT*2}{BS}"
    expect_name_row "${NAME_PROMPT}A$man$zwj$woman$zwj${girl}B-${thumb}${flag}D"
    expect_cursor_column 24
    term_type "{ENTER}"
    finish_run
    expect_stored_name "A$man$zwj$woman$zwj${girl}B-${thumb}${flag}D"
}

# No ESC byte at all on a dumb terminal; the line grows and shrinks at its
# end, and keys that would move the cursor do nothing.
run_plain() {
    start_morvmake "$@"
    open_name_prompt
    term_type "Hawkk{BS}{LEFT}{HOME}s"
    expect_name_row "${NAME_PROMPT}Hawks"
    term_type "{BS*2}{DEL}k"
    expect_name_row "${NAME_PROMPT}Hawk"
    expect_cursor_column 19
    term_type "{ENTER}"
    finish_run
    expect_stored_name "Hawk"
    if grep -qa $'\x1b' "$PANE_BYTES"; then
        fail "the output holds an ESC byte: $(grep -a -o $'\x1b.\{0,6\}' "$PANE_BYTES" | head -n 3 | od -c)"
    fi
    grep -qa "Players     : 2" "$PANE_BYTES" || fail "the pane's bytes were not recorded"
    grep -qa $'Hawkk\b \b' "$PANE_BYTES" || fail "Backspace was not BS, blank, BS"
}

case_dumb() { run_plain TERM=dumb; }
case_no_term() { run_plain -u TERM; }

# NO_COLOR: no colour sequence, the editing as ever.
case_no_color() {
    start_morvmake NO_COLOR=1
    open_name_prompt
    term_type "awk{HOME}H{END}s{LEFT}e"
    expect_name_row "${NAME_PROMPT}Hawkes"
    expect_cursor_column 20
    term_type "{ENTER}"
    finish_run
    expect_stored_name "Hawkes"
    if grep -qaE $'\x1b\\[[0-9;]*m' "$PANE_BYTES"; then
        fail "the output holds a colour sequence"
    fi
    grep -qa $'\x1b\\[' "$PANE_BYTES" || fail "the editing moved no cursor: were the bytes recorded?"
    term_expect_colour "Players     : 2" "39 49"
}

# An answer that fills its row: the next prompt follows on the next row.
case_full_row() {
    start_morvmake
    resize_to 40
    open_name_prompt
    local name="Quintus Aurelius Maximus!"
    term_type "$name"
    expect_name_row "$NAME_PROMPT$name"
    term_type "{ENTER}"
    term_wait_for "Player 1 Color (0-7): "
    term_screen | grep -a -A 1 "^$NAME_PROMPT" | tail -n 1 | grep -q "^Player 1 Color (0-7):" ||
        fail "the colour prompt does not follow on the row after the name"
    finish_run
    expect_stored_name "$name"
}

# Ctrl+L clears the screen and shows the prompt and the line at the top, the
# cursor where it was.
case_clear_screen() {
    start_morvmake
    open_name_prompt
    term_type "Hawk{LEFT}"
    expect_name_row "${NAME_PROMPT}Hawk"
    tmux -L "$TERM_SOCKET" send-keys -H 0c
    term_wait_for_screen "${NAME_PROMPT}Hawk"
    [[ "$(tmux -L "$TERM_SOCKET" display -p '#{cursor_x},#{cursor_y}')" == "18,0" ]] ||
        fail "after Ctrl+L the cursor is not at the top after Haw"
    term_type "e"
    term_wait_for_screen "${NAME_PROMPT}Hawek"
    term_type "{ENTER}"
    finish_run
    expect_stored_name "Hawek"
}

# Standard output to a file or a pipe, keys from the terminal: the terminal
# shows each answer as it is typed, and the file gets the prompts and each
# answer with CR LF, and nothing else.
case_file_output() {
    local out="$TERM_SCRATCH/out.txt" into step prompt keys shown
    for into in ">out.txt" "| cat >out.txt"; do
        rm -rf "${TERM_SCRATCH:?}"/*
        prepare_folder
        # shellcheck disable=SC2016 # expanded by the shell in the pane
        term_start "file" sh -c '"$0" "$@" '"$into" "$MORVMAKE" DUEL01.DMO
        for step in "Enter number of players (1-8): |2" "(M)ap or (L)evel: |m" \
            "Enter map name: |ARENA" "$NAME_PROMPT|Hawkk{BS}{LEFT}{HOME}({END})|(Hawk)" \
            "Player 1 Color (0-7): |1" "Player 2 Name: |Bob" "Player 2 Color (0-7): |2" \
            "Kills for (Hawk): |3" "Kills for Bob: |4"; do
            IFS='|' read -r prompt keys shown <<<"$step"
            wait_in_file "$out" "$prompt"
            term_type "$keys"
            term_wait_for "$prompt${shown:-$keys}"
            term_type "{ENTER}"
        done
        wait_in_file "$out" "Players     : 2"
        term_type "x"
        term_wait_for "[exit 0]"
        grep -qa $'[\x1b\b]' "$out" && fail "[$into] the file holds an ESC or BS byte"
        grep -qa $'^Player 1 Name: (Hawk)\r$' "$out" ||
            fail "[$into] the file lacks the name prompt and answer"
        expect_stored_name "(Hawk)"
    done
}

case "$CASE" in
resize | resize_wrapped | suspend | wide | dumb | no_term | no_color | full_row | clear_screen | \
    file_output | emoji | clear_resize | tall_answer)
    "case_$CASE"
    ;;
*) fail "unknown case $CASE" ;;
esac
echo "PASS: $CASE"
