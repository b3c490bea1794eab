#!/usr/bin/env bash
# The Debian package as a packager checks it, without installing it on this
# machine: its control fields, its files, lintian, and the programs unpacked
# from it answering --version.
#
# Usage: debian_package_test.sh DEB VERSION
set -euo pipefail

readonly DEB=$1
readonly VERSION=$2

fail() {
    echo "FAIL: $*"
    exit 1
}

[[ -f "$DEB" ]] || fail "no package at $DEB (run: cpack --preset linux)"
field() { dpkg-deb -f "$DEB" "$1"; }
[[ "$(field Package)" == morv ]] || fail "Package: $(field Package)"
[[ "$(field Version)" == "$VERSION" ]] || fail "Version: $(field Version)"
[[ "$(field Section)" == games ]] || fail "Section: $(field Section)"
[[ "$(field Recommends)" == dosbox ]] || fail "Recommends: $(field Recommends)"
# Computed from the binaries: the C and C++ libraries they link.
[[ "$(field Depends)" == *"libc6 (>="*"libstdc++6"* ]] || fail "Depends: $(field Depends)"
[[ -n "$(field Description)" ]] || fail "no Description"

readonly EXPECTED_FILES='./usr/bin/morvmake
./usr/bin/morvplay
./usr/share/applications/morvmake.desktop
./usr/share/applications/morvplay.desktop
./usr/share/doc/morv/README.md
./usr/share/doc/morv/changelog.gz
./usr/share/doc/morv/copyright
./usr/share/lintian/overrides/morv
./usr/share/man/man1/morvmake.1.gz
./usr/share/man/man1/morvplay.1.gz
./usr/share/mime/packages/morv.xml'
files=$(dpkg-deb -c "$DEB" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
[[ "$files" == "$EXPECTED_FILES" ]] || fail "the package holds:"$'\n'"$files"

# dpkg's triggers update the desktop and MIME databases: no maintainer scripts.
control=$(dpkg-deb --ctrl-tarfile "$DEB" | tar -t | LC_ALL=C sort | tr '\n' ' ')
[[ "$control" == "./control ./md5sums " ]] || fail "the control archive holds: $control"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$DEB" "$root"
for program in morvmake morvplay; do
    answer=$(cd "$root" && "$root/usr/bin/$program" --version </dev/null)
    [[ "$answer" == "$program (morv) $VERSION"$'\n'*$'\n'"License MIT"* ]] || fail "$program --version: $answer"
done

# The changelog as kept in the source: its top entry is this version, and
# every entry ends with who made it and a date that reads as one.
changelog=$(gzip -dc "$root/usr/share/doc/morv/changelog.gz")
[[ "$(head -n 1 <<<"$changelog")" =~ ^morv\ \($VERSION\)\ [a-z-]+\;\ urgency=[a-z]+$ ]] ||
    fail "the changelog's top entry is not $VERSION: $(head -n 1 <<<"$changelog")"
while read -r trailer; do
    [[ "$trailer" =~ ^--\ .+\ \<.+@.+\>\ \ (.+)$ ]] || fail "a changelog entry ends with: $trailer"
    date -d "${BASH_REMATCH[1]}" >/dev/null 2>&1 || fail "a changelog date does not read: $trailer"
done < <(grep '^ -- ' <<<"$changelog")

# copyright in the machine-readable form: a Source, and a licence text for
# every licence a Files paragraph names, the Unicode tables' among them.
copyright=$root/usr/share/doc/morv/copyright
[[ "$(head -n 1 "$copyright")" == "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ]] ||
    fail "copyright has no DEP-5 Format line"
grep -q '^Source: .' "$copyright" || fail "copyright has no Source"
grep -A2 -x 'Files: common/rules/unicode_tables.cpp' "$copyright" | grep -qx 'License: Unicode-DFS-2016' ||
    fail "copyright does not give the Unicode tables' licence"
named=$(awk '/^Files:/ {files = 1} /^$/ {files = 0} files && /^License:/ {print $2}' "$copyright" | sort -u)
for licence in $named; do
    grep -A1 -x "License: $licence" "$copyright" | grep -q '^ ' ||
        fail "copyright names $licence without its text"
done

# lintian -I with no tag beyond two known ones: cpack strips without
# removing the compiler's .comment section, and the optimiser builds the
# prompt " Name: " from immediates, which lintian's string scan reads as the
# word "Nam".
report=$(lintian -I "$DEB" 2>&1 | grep -v '^running with root privileges' || true)
echo "lintian -I:${report:+$'\n'$report}"
unexpected=$(grep -v -e '^I: morv: binary-has-unneeded-section \.comment ' \
    -e '^I: morv: spelling-error-in-binary Nam Name \[usr/bin/morvmake\]$' <<<"$report" || true)
[[ -z "$unexpected" ]] || fail "lintian -I reports new tags:"$'\n'"$unexpected"
echo "PASS: Debian package $(basename "$DEB"), $(stat -c %s "$DEB") bytes"
