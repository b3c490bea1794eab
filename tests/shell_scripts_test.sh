#!/usr/bin/env bash
# The project's shell scripts: shellcheck finds no warning in any of them,
# and one rule holds for executable bits: a script with a "#!" line is
# executable, a file without one (a library to source) is not.
#
# Usage: shell_scripts_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"

fail() {
    echo "FAIL: $*"
    exit 1
}

if [[ -e .git ]]; then
    mapfile -t candidates < <(git ls-files)
else
    mapfile -t candidates < <(find . -path ./build -prune -o -type f -printf '%P\n')
fi
scripts=()
for file in "${candidates[@]}"; do
    first=
    IFS= read -r first <"$file" || true
    if [[ "$file" == *.sh || "$first" =~ ^#!.*(/|env\ )(ba)?sh$ ]]; then
        scripts+=("$file")
        if [[ "$first" == '#!'* ]]; then
            [[ -x "$file" ]] || fail "$file starts with #! but is not executable"
        else
            [[ ! -x "$file" ]] || fail "$file is executable but has no #! line"
        fi
    fi
done
((${#scripts[@]} > 10)) || fail "only ${#scripts[@]} shell scripts found"
shellcheck -x -S warning "${scripts[@]}" || fail "shellcheck warns"
echo "PASS: ${#scripts[@]} shell scripts"
