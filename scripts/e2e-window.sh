#!/usr/bin/env bash
# Runs the real-window input test under a private Xvfb and plays the user: it waits for each
# line the program prints, then acts with xdotool. Every wait is bounded; the whole run gives up
# after 50 seconds.
#
#   e2e-window.sh E2E_WINDOW
set -uo pipefail

program=$1
limit=$((SECONDS + 50))
source "$(dirname "$(realpath "$0")")/xvfb-window.sh"

fail() {
  echo "e2e-window: $*" >&2
  for f in out err xvfb.log; do
    [ -s "$work/$f" ] && { echo "--- $f" >&2; cat "$work/$f" >&2; }
  done
  exit 1
}

# Waits until the program has printed LINE.
expect() {
  while ! grep -qxsF -- "$1" "$work/out"; do
    grep -qs "^FAIL" "$work/out" && fail "program failed while the driver waited for \"$1\""
    if ! kill -0 "$app_pid" 2>/dev/null; then
      grep -qxsF -- "$1" "$work/out" || fail "program ended before \"$1\""
    fi
    [ $SECONDS -lt $limit ] || fail "timed out waiting for \"$1\""
    sleep 0.05
  done
}

start_xvfb
"$program" >"$work/out" 2>"$work/err" &
app_pid=$!
expect "ready"
wid=$(window_id) || exit 1
x xdotool mousemove --window "$wid" 100 60
expect "at 100 60"
x xdotool mousedown 1
expect "left down"
x xdotool mouseup 1
expect "left up"
x xdotool mousemove --window "$wid" 600 350
expect "at 600 350"
x xdotool mousedown 3
expect "right down"
x xdotool mouseup 3
expect "right up"
x xdotool windowfocus "$wid"
for key in F1:F1 space:space Escape:escape; do
  x xdotool keydown "${key%%:*}"
  expect "${key##*:} down"
  x xdotool keyup "${key%%:*}"
  expect "${key##*:} up"
done
wait_app status
[ "$status" -eq 0 ] || fail "program exited with status $status"
cat "$work/out"
