#!/usr/bin/env bash
# Runs xwin_demo (two plots on PLplot's xwin screen) on a private Xvfb and acts as the user:
# each plot must stay up until a key is pressed, show a drawn page, and then let the program go
# on. Needs no display at start. Every wait is bounded. Usage: xwin_test.sh PATH/TO/xwin_demo
set -euo pipefail
demo=$1

for tool in Xvfb xdotool xdpyinfo import convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d)
xvfb_pid=""
demo_pid=""
cleanup() {
  if [ -n "$demo_pid" ]; then kill "$demo_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  echo "--- demo output:"; cat "$work/out" 2>/dev/null || true
  echo "--- demo errors:"; cat "$work/err" 2>/dev/null || true
  exit 1
}

# Xvfb picks a free display number itself and writes it to fd 3: no clash with other servers
# or with tests running at the same time. Without -noreset the server resets whenever its last
# client leaves, as when the first plot's window closes, and the next plot's connection can
# come during the reset and be refused ("Can't open display"), more often on a loaded machine.
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1024x768x24 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; fail "Xvfb did not start"; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 1 50); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
echo "Xvfb on $DISPLAY"

"$demo" </dev/null >"$work/out" 2>"$work/err" &
demo_pid=$!

# Waits (at most $2 seconds) for the demo to print line $1.
wait_for_line() {
  for _ in $(seq 1 $(($2 * 10))); do
    grep -qx "$1" "$work/out" && return 0
    sleep 0.1
  done
  return 1
}

# Waits for the visible window named $1 and prints its id.
find_window() {
  timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1
}

# The page must be on the screen: the red series and the blue spline among its colours.
check_screenshot() {
  import -window root "$work/$1.png"
  local colours
  colours=$(convert "$work/$1.png" -format %k info:)
  [ "$colours" -gt 1 ] || fail "$1: the screen is blank ($colours colour)"
  convert "$work/$1.png" -format %c histogram:info: >"$work/$1.txt"
  grep -qi '#FF0000' "$work/$1.txt" || fail "$1: no red series on the screen"
  grep -qi '#0000FF' "$work/$1.txt" || fail "$1: no blue spline on the screen"
  echo "$1: $colours colours on the screen"
}

# Plot 1: the window appears, the program waits, a space goes on.
window=$(find_window "ringsmooth: Demo one") || true
[ -n "$window" ] || fail "no window for the first plot"
sleep 1.5
grep -qx "plot 1 returned" "$work/out" && fail "plot 1 returned before any key was pressed"
kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended while plot 1 was up"
check_screenshot first
# The window closes on the key press, so xdotool may find it gone for the key release.
xdotool key --window "$window" space 2>/dev/null || true
wait_for_line "plot 1 returned" 20 || fail "plot 1 did not return after a key"

# Plot 2: a new window; "Q", which would end the process in PLplot's own key handling, just
# dismisses it.
window=$(find_window "ringsmooth: Demo two") || true
[ -n "$window" ] || fail "no window for the second plot"
sleep 1.5
grep -qx "plot 2 returned" "$work/out" && fail "plot 2 returned before any key was pressed"
check_screenshot second
xdotool key --window "$window" shift+q 2>/dev/null || true
wait_for_line "plot 2 returned" 20 || fail "plot 2 did not return after a key"
grep -q "Plot stopped" "$work/out" && fail "a plot was cut short by PLplot"

for _ in $(seq 1 100); do
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$demo_pid" 2>/dev/null && fail "the demo did not end after its last plot"
status=0
wait "$demo_pid" || status=$?
demo_pid=""
[ "$status" -eq 0 ] || fail "the demo ended with status $status"
echo "xwin screen: both plots waited for a key and the demo ended with status 0"
