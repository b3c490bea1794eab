#!/usr/bin/env bash
# Terminal test of display widths: each text below is typed between "[" and
# "]" at the probe's prompt in tmux. tmux draws it and leaves its cursor after
# the "]"; Left then takes the cursor to where the line editor has the "]".
# The two must be neighbours, so the editor counts the columns tmux draws.
#
# Usage: terminal_width_test.sh PATH_TO_CONSOLE_PROBE

source "$(dirname "$0")/terminal_lib.sh"

PROBE=$(realpath "$1") || exit 1
readonly PROBE
readonly PROMPT="Name: "

# Blanks that bring an emoji to the last 3 columns of the first row.
WRAP_3=$(printf '%*s' $((PANE_COLUMNS - 3 - ${#PROMPT} - 1)) '')
readonly WRAP_3

# What is typed inside the brackets, as printf %b takes it.
readonly TEXTS=(
    '\u09be' '\u0bbe' '\u0d3e' '\u0d57' '\u302e'                      # spacing marks (Mc)
    '\uff9e' '\uff9f' '\uff76\uff9e' '\u0995\u09be'                    # sound marks, clusters
    '\u0301' '\u0488' '\u00ad' '\u200b' '\ufeff' '\u200c' '\u200d'     # Mn, Me, Cf, joiners
    '\U1f44d\U1f3fd' '\U1f468\u200d\U1f469' '\U1f468\U1f3fd\u200d\U1f469' '\U1f1ef\U1f1f5'
    "$WRAP_3"'\U1f44d\U1f3fd' "$WRAP_3 "'\U1f44d\U1f3fd' "$WRAP_3  "'\U1f44d\U1f3fd'
)

cursor_cell() {
    tmux -L "$TERM_SOCKET" display -p '#{cursor_y} #{cursor_x}' |
        awk -v width="$PANE_COLUMNS" '{ print $1 * width + $2 }'
}

# Waits until the cursor stands elsewhere than cell, at most seconds.
wait_cursor_leaves() {
    local cell=$1 deadline=$((SECONDS + $2))
    while [[ "$(cursor_cell)" == "$cell" ]] && ((SECONDS <= deadline)); do
        sleep "$POLL_SECONDS"
    done
}

# Waits until the typed row ends with "]" and the cursor has settled.
wait_for_closing_bracket() {
    local deadline=$((SECONDS + WAIT_SECONDS))
    until term_joined_screen | grep -q "^$PROMPT.*\] *\$"; do
        ((SECONDS <= deadline)) || fail "the typed text did not show"
        sleep "$POLL_SECONDS"
    done
}

# A key by its bytes, without term_type's checks: the probe is raw by now and
# each key here is waited for on the screen before the next.
press() {
    # shellcheck disable=SC2086 # the bytes are separate words
    tmux -L "$TERM_SOCKET" send-keys -H ${KEY_BYTES[$1]}
}

export LC_ALL=C.UTF-8
term_start "width" env LANG=C.UTF-8 "$PROBE" line
term_wait_for "$PROMPT"
term_wait_until_raw
readonly START_CELL=${#PROMPT}
for text in "${TEXTS[@]}"; do
    typed=$(printf '%b' "[$text]")
    tmux -L "$TERM_SOCKET" send-keys -l -- "$typed"
    wait_for_closing_bracket
    drawn=$(($(cursor_cell) - 1))
    press LEFT
    wait_cursor_leaves "$((drawn + 1))" 2
    edited=$(cursor_cell)
    ((edited == drawn)) ||
        fail "'$text': tmux drew ']' in cell $drawn, the line editor has it in $edited"
    press ESC
    wait_cursor_leaves "$edited" 2
    [[ "$(cursor_cell)" == "$START_CELL" ]] || fail "Esc did not empty the line after '$text'"
done
term_type "{ENTER}"
term_wait_for "bye"
echo "PASS: widths"
