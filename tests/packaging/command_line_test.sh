#!/usr/bin/env bash
# The built program's command line as a user meets it: what goes to which stream and the exit
# status. Usage: command_line_test.sh PROGRAM VERSION
set -uo pipefail
program=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run ARGS...: runs the program with no console input; sets status, out and err.
run() {
  "$program" "$@" < /dev/null > "$work/out" 2> "$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}

run --version
[ "$status" -eq 0 ] || fail "--version: status $status"
[ "$out" = "ringsmooth $version" ] || fail "--version printed '$out'"
[ -z "$err" ] || fail "--version wrote to standard error: $err"

for option in --help -h; do
  run "$option"
  [ "$status" -eq 0 ] || fail "$option: status $status"
  case "$out" in "Usage: ringsmooth"*) ;; *) fail "$option: no usage text: $out" ;; esac
  case "$out" in *"Enter the input file"*) fail "$option: the dialogue started" ;; esac
  [ -z "$err" ] || fail "$option wrote to standard error: $err"
done

for arguments in "--bogus" "sample.txt" "-c 0 sample.txt" "-"; do
  # shellcheck disable=SC2086  # the words are meant to split
  run $arguments
  [ "$status" -eq 2 ] || fail "'$arguments': status $status, expected 2"
  [ -z "$out" ] || fail "'$arguments' wrote to standard output: $out"
  [ -n "$err" ] || fail "'$arguments': no message on standard error"
  case "$out$err" in *"Enter the input file"*) fail "'$arguments': the dialogue started" ;; esac
done
run --bogus
case "$err" in *"'--bogus'"*) ;; *) fail "the usage error does not quote the argument: $err" ;; esac

# Help that cannot be written is not a success.
if [ -w /dev/full ]; then
  "$program" --help > /dev/full 2> "$work/err"
  status=$?
  [ "$status" -ne 0 ] || fail "--help into a full device reported success"
fi

# Without arguments the dialogue starts: an empty line, then the first question.
printf '/\n' | "$program" > "$work/out" 2> "$work/err"
status=$?
[ "$status" -eq 0 ] || fail "'/' at the first question: status $status"
[ "$(head -c 1 "$work/out" | od -An -c | tr -d ' ')" = '\n' ] ||
  fail "the dialogue does not begin with an empty line"
grep -q "Enter the input file (/ to exit)" "$work/out" || fail "no first question without arguments"

if [ "$failures" -ne 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "command line checks passed"
