# shellcheck shell=bash
# Helpers for the terminal tests: a program runs in a tmux pane of a fixed
# size, keys are typed with send-keys and the screen is read with
# capture-pane. Sourced by terminal_test.sh and terminal_generator_test.sh.
#
# Every run gets its own tmux server (its own socket), killed when the run is
# over and also when a test fails or is interrupted, so tests never share or
# leak a terminal.

set -u -o pipefail
unset TMUX

readonly PANE_COLUMNS=80
readonly PANE_ROWS=24
readonly POLL_SECONDS=0.05
readonly SERVER_LIFETIME_SECONDS=90
# Long enough for a whole case; see term_hold_desktop.
readonly DESKTOP_LIFETIME_SECONDS=300
# How long a program may take to take the terminal or to show a text: wine
# starts its server and a console first, which on a busy machine takes
# seconds. Only a failing test waits that long.
readonly START_SECONDS=20
# How long a wait for a text or a screen goes on by default.
readonly WAIT_SECONDS=10
# The pause after a typed Esc: longer than the programs wait for the bytes of
# an Alt key or an escape sequence.
readonly ESC_PAUSE_SECONDS=0.3

TERM_SOCKET=""
TERM_SOCKET_PATH=""
TERM_DESKTOP_SOCKET=""
TERM_DESKTOP_SOCKET_PATH=""
TERM_RUNS=0
TERM_SCRATCH=$(mktemp -d)

# MORV_TERMINAL_CONSOLE=wine: the program in the pane is a Windows program and
# the console on the terminal is wine's. Where wine's console is known to draw
# or read keys unlike an xterm (and unlike a Windows console), a case changes
# that one expectation, with a comment where it does.
term_on_wine() { [[ "${MORV_TERMINAL_CONSOLE:-}" == wine ]]; }

kill_tmux_server() {
    tmux -L "$1" kill-server 2>/dev/null
    rm -f "$2"
}

term_stop() {
    if [[ -n "$TERM_SOCKET" ]]; then
        kill_tmux_server "$TERM_SOCKET" "$TERM_SOCKET_PATH"
        TERM_SOCKET=""
    fi
}

term_cleanup() {
    term_stop
    if [[ -n "$TERM_DESKTOP_SOCKET" ]]; then
        kill_tmux_server "$TERM_DESKTOP_SOCKET" "$TERM_DESKTOP_SOCKET_PATH"
    fi
    rm -rf "$TERM_SCRATCH"
}
trap term_cleanup EXIT
trap 'exit 1' INT TERM

term_screen() { tmux -L "$TERM_SOCKET" capture-pane -p | sed -e :a -e '/^\n*$/{$d;N;ba' -e '}'; }

# The screen with rows that the terminal wrapped joined into one line each.
term_joined_screen() { tmux -L "$TERM_SOCKET" capture-pane -p -J; }

fail() {
    echo "FAIL: $*"
    if [[ -n "$TERM_SOCKET" ]]; then
        echo "---- screen ----"
        term_screen
        echo "----------------"
    fi
    exit 1
}

# Starts program and its arguments in a fresh pane, in folder $TERM_SCRATCH.
# A shell around it reports the exit status as "[exit N]" (128 + signal number
# when a signal ended it) and then keeps the pane open. The shell has a trap
# for SIGINT so that Ctrl+C ends only the program; the program itself starts
# with the default handling, as it would under a login shell.
# shellcheck disable=SC2016 # expanded by the shell in the pane
readonly PANE_SCRIPT='trap : INT; cd "$0" || exit; "$@"; echo "[exit $?]"; exec sleep 600'

term_start() {
    local name=$1 lifetime=$SERVER_LIFETIME_SECONDS
    shift
    if [[ $name == desktop ]]; then
        lifetime=$DESKTOP_LIFETIME_SECONDS
    fi
    term_stop
    TERM_RUNS=$((TERM_RUNS + 1))
    TERM_SOCKET="morv-$name-$$-$TERM_RUNS"
    tmux -L "$TERM_SOCKET" -f /dev/null new-session -d -x "$PANE_COLUMNS" -y "$PANE_ROWS" \
        bash -c "$PANE_SCRIPT" \
        "$TERM_SCRATCH" "$@" || fail "tmux could not start (is tmux installed?)"
    TERM_SOCKET_PATH=$(tmux -L "$TERM_SOCKET" display -p '#{socket_path}')
    # A test killed outright (a CTest timeout) cannot run its trap: the server
    # then ends itself, and with it the program in the pane.
    tmux -L "$TERM_SOCKET" run-shell -b -d "$lifetime" \
        "tmux -L $TERM_SOCKET kill-server"
}

# Text as the pane holds it once drawn. Wine's console draws the blanks at the
# end of a row as an erase to the row's end, so the pane holds no trailing
# blanks there ("Name: " shows as "Name:"); an xterm and a Windows console
# hold the blank.
term_as_drawn() {
    local text=$1
    if term_on_wine; then
        text=${text%"${text##*[! ]}"}
    fi
    printf '%s' "$text"
}

# Keeps wine's desktop up for the whole case; a no-op on other consoles.
# Wine starts its desktop process when a console first turns a typed key into
# a key event, and holds that key and every key after it until the desktop
# answers (it waits up to 10 s for it); the desktop ends a second after the
# last program on it. On a busy machine that start takes the better part of a
# second or more, at the first key of every run, which the waits of the cases
# would have to take for the program's time. A Windows console has its desktop
# all along. So the program is started once more, in a terminal of its own
# that stays until the case ends, and typed at once: when the key is back on
# its screen, the desktop is up, and it stays up while that program waits.
term_hold_desktop() {
    local prompt=$1
    shift
    term_on_wine || return 0
    term_start "desktop" "$@"
    term_wait_for "$prompt" "$START_SECONDS"
    term_type "k"
    term_wait_for "${prompt}k" "$START_SECONDS"
    TERM_DESKTOP_SOCKET=$TERM_SOCKET
    TERM_DESKTOP_SOCKET_PATH=$TERM_SOCKET_PATH
    TERM_SOCKET=""
}

# Waits until the pane shows text (wrapped rows joined), at most seconds.
term_wait_for() {
    local text seconds=${2:-$WAIT_SECONDS}
    text=$(term_as_drawn "$1")
    local deadline=$((SECONDS + seconds))
    while ((SECONDS <= deadline)); do
        local screen
        screen=$(term_joined_screen)
        if grep -qF -- "$text" <<<"$screen"; then
            return 0
        fi
        if grep -q '^\[exit [0-9]*\]$' <<<"$screen"; then
            fail "the program ended while the test waited for '$text'"
        fi
        sleep "$POLL_SECONDS"
    done
    fail "the pane did not show '$text' within $seconds s"
}

# Waits until the whole screen (trailing empty rows dropped) is expected.
term_wait_for_screen() {
    local expected=$1 seconds=${2:-$WAIT_SECONDS}
    local deadline=$((SECONDS + seconds))
    while ((SECONDS <= deadline)); do
        if [[ "$(term_screen)" == "$expected" ]]; then
            return 0
        fi
        sleep "$POLL_SECONDS"
    done
    echo "---- expected screen ----"
    printf '%s\n' "$expected"
    fail "the screen did not become the expected one within $seconds s"
}

term_shows() { term_joined_screen | grep -qF -- "$(term_as_drawn "$1")"; }

# Bytes a terminal sends for the keys the dialogue knows.
declare -A KEY_BYTES=(
    [LEFT]="1b 5b 44" [RIGHT]="1b 5b 43" [HOME]="1b 5b 48" [END]="1b 5b 46"
    [DEL]="1b 5b 33 7e" [BS]="7f" [CTRL_H]="08" [TAB]="09" [ESC]="1b" [ENTER]="0d"
    [CTRL_C]="03" [SS3_LEFT]="1b 4f 44" [SS3_HOME]="1b 4f 48" [TILDE_HOME]="1b 5b 31 7e"
    [TILDE_END]="1b 5b 34 7e" [UP]="1b 5b 41"
)

# Types keys: plain characters as they are, {NAME} for a key of KEY_BYTES and
# {NAME*n} for that key n times; "hello{LEFT*2}X{ENTER}". Only once the
# program has taken the terminal, see term_wait_until_raw.
term_type() {
    local keys=$1
    term_wait_until_raw
    while [[ -n "$keys" ]]; do
        if [[ "$keys" =~ ^\{([A-Z0-9_]+)(\*([0-9]+))?\}(.*)$ ]]; then
            local name=${BASH_REMATCH[1]} count=${BASH_REMATCH[3]:-1}
            keys=${BASH_REMATCH[4]}
            [[ -n "${KEY_BYTES[$name]:-}" ]] || fail "unknown key {$name} in a test"
            local hex=() i
            for ((i = 0; i < count; i++)); do
                # shellcheck disable=SC2206 # the bytes are separate words
                hex+=(${KEY_BYTES[$name]})
            done
            tmux -L "$TERM_SOCKET" send-keys -H "${hex[@]}"
            # Esc with another key right after it is that key with Alt; a lone
            # Esc is one that nothing follows at once, as when a person types.
            if [[ $name == ESC ]]; then
                sleep "$ESC_PAUSE_SECONDS"
            fi
        else
            local plain=${keys%%\{*}
            [[ -n "$plain" ]] || fail "a test types '$keys', which names no key"
            keys=${keys:${#plain}}
            tmux -L "$TERM_SOCKET" send-keys -l -- "$plain"
        fi
    done
}

# The pane's terminal settings, one flag a line (icanon, -echo, ...).
term_tty_flags() {
    stty -a -F "$(tmux -L "$TERM_SOCKET" display -p '#{pane_tty}')" | tr ' ;' '\n'
}

# True once every flag (icanon or -icanon, say) is set on the pane, false
# when that has not happened within seconds (0: only as it is now).
term_tty_becomes() {
    local seconds=$1 deadline flags flag missing
    shift
    deadline=$((SECONDS + seconds))
    while :; do
        flags=$(term_tty_flags)
        missing=""
        for flag in "$@"; do
            grep -qx -- "$flag" <<<"$flags" || missing=$flag
        done
        [[ -z "$missing" ]] && return 0
        ((seconds > 0 && SECONDS <= deadline)) || return 1
        sleep "$POLL_SECONDS"
    done
}

# Waits until the pane's terminal has left line mode. Until then the terminal
# itself echoes and edits what is typed: Backspace eats the byte before it,
# Enter turns into a line feed, so the program gets other keys. The programs on
# Linux switch before they print anything. Wine's console switches from a
# thread that it starts when the program first asks for keys, and on a busy
# machine the prompt is often on the screen before that thread has run.
term_wait_until_raw() {
    term_tty_becomes "$START_SECONDS" -icanon ||
        fail "the program did not take the terminal (it stayed in line mode)"
}

# Fails unless every flag is set on the pane.
term_expect_tty() {
    local when=$1 flag
    shift
    term_tty_becomes 0 "$@" && return 0
    for flag in "$@"; do
        term_tty_becomes 0 "$flag" || fail "terminal $when: expected '$flag'"
    done
    fail "terminal $when: expected $*"
}

# What a line-based shell needs back after the program: the settings that
# raw mode turns off.
term_expect_restored() {
    local flags=(icanon echo icrnl ixon isig iexten)
    # Wine gives the terminal back when the program's console closes, which
    # its server may get to just after the program has ended; a program on
    # Linux gives it back itself, before it ends.
    if term_on_wine; then
        term_tty_becomes "$WAIT_SECONDS" "${flags[@]}"
    fi
    term_expect_tty "$1" "${flags[@]}"
}

term_expect_raw() {
    term_expect_tty "$1" -icanon -echo -icrnl isig
}

# The pid of the program in the pane (the child of the reporting shell).
term_program_pid() {
    pgrep -P "$(tmux -L "$TERM_SOCKET" display -p '#{pane_pid}')" | head -n 1
}

# Foreground and background colour at the first character of the first row
# that begins with text, from capture-pane -e: "fg bg" as SGR numbers, "39" and
# "49" for the terminal's own colours.
term_colour_of_row() {
    tmux -L "$TERM_SOCKET" capture-pane -p -e | awk -v want="$1" '
        BEGIN { fg = 39; bg = 49 }
        function apply(params,    n, p, i) {
            n = split(params, p, ";")
            if (params == "") { n = 1; p[1] = 0 }
            for (i = 1; i <= n; i++) {
                v = p[i] + 0
                if (v == 0) { fg = 39; bg = 49 }
                else if (v == 38 || v == 48) { i += (p[i + 1] == 5) ? 2 : 4 }
                else if ((v >= 30 && v <= 37) || (v >= 90 && v <= 97) || v == 39) fg = v
                else if ((v >= 40 && v <= 47) || (v >= 100 && v <= 107) || v == 49) bg = v
            }
        }
        {
            line = $0; plain = ""; first_fg = ""; first_bg = ""
            while (length(line) > 0) {
                if (match(line, /^\033\[[0-9;]*m/)) {
                    apply(substr(line, 3, RLENGTH - 3))
                    line = substr(line, RLENGTH + 1)
                } else {
                    if (plain == "") { first_fg = fg; first_bg = bg }
                    plain = plain substr(line, 1, 1)
                    line = substr(line, 2)
                }
            }
            if (index(plain, want) == 1) { print first_fg " " first_bg; exit }
        }'
}

term_expect_colour() {
    local text=$1 expected=$2 actual
    actual=$(term_colour_of_row "$text")
    # Wine's console never draws a black background (colour + 16 x 0) and
    # leaves the terminal's own there; a Windows console shows black, as 40
    # does on an xterm. So under wine only the foreground is compared.
    if term_on_wine && [[ "$expected" == *" 40" ]]; then
        expected="${expected% *} ${actual#* }"
    fi
    [[ "$actual" == "$expected" ]] ||
        fail "row '$text' has colours '$actual' (SGR fg bg), expected '$expected'"
}
