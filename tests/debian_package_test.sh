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

report=$(lintian "$DEB" 2>&1 | grep -v '^running with root privileges' || true)
echo "lintian:${report:+$'\n'$report}"
! grep -q '^E:' <<<"$report" || fail "lintian reports errors"
echo "PASS: Debian package $(basename "$DEB"), $(stat -c %s "$DEB") bytes"
