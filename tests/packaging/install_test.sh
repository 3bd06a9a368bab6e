#!/usr/bin/env bash
# `cmake --install` into a fresh prefix puts every file where a user looks for it, and the
# installed program runs the installed sample table.
# Usage: install_test.sh CMAKE BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
cmake=$1
build=$2
source=$3
version=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix with blank"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! "$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1; then
  cat "$work/install.log"
  echo "FAIL: cmake --install failed"
  exit 1
fi

[ -x "$prefix/bin/ringsmooth" ] || fail "bin/ringsmooth missing or not executable"
man_gz="$prefix/share/man/man1/ringsmooth.1.gz"
if [ -f "$man_gz" ]; then
  gzip -dc "$man_gz" | cmp -s - "$source/doc/ringsmooth.1" ||
    fail "the installed man page is not doc/ringsmooth.1"
else
  fail "share/man/man1/ringsmooth.1.gz missing"
fi
for example in sample.txt make_sample.py; do
  cmp -s "$prefix/share/ringsmooth/examples/$example" "$source/examples/$example" ||
    fail "share/ringsmooth/examples/$example missing or different"
done
[ -f "$prefix/share/doc/ringsmooth/README.md" ] ||
  fail "share/doc/ringsmooth/README.md missing"

# Nothing lands outside the prefix's usual folders.
unexpected=$(cd "$prefix" && find . -type f | grep -vE '^\./(bin|share/(man|ringsmooth|doc))/')
[ -z "$unexpected" ] || fail "unexpected files installed: $unexpected"

if [ -x "$prefix/bin/ringsmooth" ]; then
  shown=$("$prefix/bin/ringsmooth" --version 2>&1)
  [ "$shown" = "ringsmooth $version" ] || fail "installed --version printed '$shown'"

  # The installed program on the installed sample: four series, four blocks, status 0.
  mkdir "$work/run"
  cp "$prefix/share/ringsmooth/examples/sample.txt" "$work/run/"
  (cd "$work/run" && printf '%s\n' sample.txt sample.lst 5 -999 30 n n |
     RINGSMOOTH_PLOT_DEVICE=null "$prefix/bin/ringsmooth" > console.txt 2>&1)
  status=$?
  [ "$status" -eq 0 ] || { cat "$work/run/console.txt"; fail "the sample run ended with $status"; }
  blocks=$(grep -c '^ Input series is: ' "$work/run/sample.lst" 2> /dev/null)
  [ "$blocks" = 4 ] || fail "the sample listing has ${blocks:-no} blocks, expected 4"
fi

if command -v man > /dev/null; then
  MANWIDTH=80 man -l "$man_gz" > "$work/man.txt" 2> /dev/null
  grep -q '^EXIT STATUS' "$work/man.txt" || fail "man -l does not render the installed page"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "install checks passed"
