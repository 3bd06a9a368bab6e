#!/usr/bin/env bash
# `cpack -G DEB` builds a package with the right control fields, a Depends naming the PLplot
# library the program really loads and both PLplot device plug-ins, and the files a user
# expects; its program runs from the unpacked tree.
# Usage: deb_test.sh CPACK BUILD_DIR SOURCE_DIR VERSION PROGRAM
set -uo pipefail
cpack=$1
build=$2
source=$3
version=$4
program=$5
command -v dpkg-deb > /dev/null || { echo "SKIP: dpkg-deb is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" > "$work/cpack.log" 2>&1
then
  cat "$work/cpack.log"
  echo "FAIL: cpack -G DEB failed"
  exit 1
fi
shopt -s nullglob
debs=("$work"/out/ringsmooth_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  ls -l "$work/out"
  echo "FAIL: expected one ringsmooth_*.deb, found ${#debs[@]}"
  exit 1
fi
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "ringsmooth_${version}_${arch}.deb" ] ||
  fail "package file named $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = ringsmooth ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Section)" = science ] || fail "Section: $(field Section)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
description=$(field Description)
[ "$(printf '%s\n' "$description" | wc -l)" -gt 1 ] || fail "no long description: $description"

# The package names of Depends, versions and alternatives stripped.
# Kept in a file that grep reads: a grep -q at the end of a pipe may exit before the writer is
# done, and under pipefail the writer's broken pipe would then fail the check by chance.
field Depends | tr ',|' '\n\n' | sed 's/(.*)//; s/^ *//; s/ *$//' | sort -u > "$work/depends"
needs() { grep -qx "$1" "$work/depends" || fail "Depends lacks $1: $(field Depends)"; }

# The PLplot library the built program loads, and the Debian package that owns it.
plplot_so=$(ldd "$program" | awk '/libplplot\.so/ { print $3; exit }')
if [ -n "$plplot_so" ]; then
  owner=$(dpkg -S "$(readlink -f "$plplot_so")" 2> /dev/null | head -1 | cut -d: -f1)
  [ -n "$owner" ] && needs "$owner"
else
  fail "the program does not load libplplot"
fi
needs plplot-driver-xwin
needs plplot-driver-cairo
needs libplplot-data
needs libc6
needs libstdc++6

# The file list.
dpkg-deb -c "$deb" > "$work/contents"
has_file() {
  grep -qE "^$2 .* \./$1\$" "$work/contents" || fail "the package lacks $1 (or its mode is not $2)"
}
has_file usr/bin/ringsmooth '-rwxr-xr-x'
has_file usr/share/man/man1/ringsmooth.1.gz '-rw-r--r--'
has_file usr/share/ringsmooth/examples/sample.txt '-rw-r--r--'
has_file usr/share/ringsmooth/examples/make_sample.py '-rw-r--r--'
outside=$(awk '{ print $6 }' "$work/contents" | grep -vE '^\./(usr/?|usr/(bin|share)(/.*)?)$')
[ -z "$outside" ] || fail "files outside /usr/bin and /usr/share: $outside"
owners=$(awk '{ print $2 }' "$work/contents" | sort -u)
[ "$owners" = "root/root" ] || fail "files not owned by root: $owners"

# The unpacked files: the man page and the examples as in the source, the program runs.
dpkg-deb -x "$deb" "$work/root"
gzip -dc "$work/root/usr/share/man/man1/ringsmooth.1.gz" | cmp -s - "$source/doc/ringsmooth.1" ||
  fail "the packaged man page is not doc/ringsmooth.1"
cmp -s "$work/root/usr/share/ringsmooth/examples/sample.txt" "$source/examples/sample.txt" ||
  fail "the packaged sample.txt differs from examples/sample.txt"
shown=$("$work/root/usr/bin/ringsmooth" --version 2>&1)
[ "$shown" = "ringsmooth $version" ] || fail "the packaged program's --version printed '$shown'"

if [ "$failures" -ne 0 ]; then
  echo "Depends: $(field Depends)"
  echo "$failures failure(s)"
  exit 1
fi
echo "Depends: $(field Depends)"
echo "Debian package checks passed"
