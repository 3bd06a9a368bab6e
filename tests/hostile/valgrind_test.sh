#!/usr/bin/env bash
# Runs the program under valgrind's memcheck on the sample table: plots off (null device), plots
# to SVG files, and a table that ends the run with an input error. Memcheck must find no error
# and no leak (it exits with 9 when it does), and each run must end with its expected status.
# Usage: valgrind_test.sh PROGRAM SOURCE_DIR
set -euo pipefail
program=$1
source_dir=$2
if ! command -v valgrind > /dev/null; then
  echo "valgrind is not installed: skipped"
  exit 77
fi
work=$(mktemp -d /tmp/ringsmooth-valgrind-XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/examples/sample.txt" "$work/sample.txt"
printf 'Year A B\n1901 1.5 2\n1902 2.5 x\n' > "$work/bad.txt"

failures=0
# check NAME DEVICE EXPECTED_STATUS ANSWERS
check() {
  local name=$1 device=$2 expected=$3 answers=$4 status=0
  printf '%b' "$answers" > "$work/answers.in"
  (cd "$work" && env -u DISPLAY RINGSMOOTH_PLOT_DEVICE="$device" \
     valgrind --error-exitcode=9 --leak-check=full \
     --log-file="$work/$name.vg" "$program" < answers.in > "$work/$name.out" 2>&1) || status=$?
  if [ "$status" -ne "$expected" ]; then
    echo "FAIL $name: status $status, expected $expected"
    tail -30 "$work/$name.vg"
    tail -5 "$work/$name.out"
    failures=$((failures + 1))
    return
  fi
  if ! grep -q "ERROR SUMMARY: 0 errors" "$work/$name.vg"; then
    echo "FAIL $name: memcheck reports errors"
    cat "$work/$name.vg"
    failures=$((failures + 1))
    return
  fi
  echo "ok   $name: status $status, $(grep -o 'total heap usage.*' "$work/$name.vg")"
}

check null null 0 'sample.txt\nout-null.txt\n5\n-999\n10\nn\nn\n'
check svg svg 0 'sample.txt\nout-svg.txt\n5\n-999\n10\ny\ny\n'
check input-error null 1 'bad.txt\nout-bad.txt\n3\n-999\n'
for n in 1 2 3 4; do
  [ -s "$work/out-svg-$n.svg" ] || { echo "FAIL svg: plot $n missing"; failures=$((failures + 1)); }
done
[ -s "$work/out-null.txt" ] || { echo "FAIL null: listing empty"; failures=$((failures + 1)); }
cmp -s "$work/out-null.txt" <(cd "$work" && env -u DISPLAY RINGSMOOTH_PLOT_DEVICE=null \
  "$program" < <(printf 'sample.txt\nout-plain.txt\n5\n-999\n10\nn\nn\n') > /dev/null \
  && cat out-plain.txt) || { echo "FAIL null: listing under valgrind differs"; failures=$((failures + 1)); }
exit $((failures > 0))
