#!/usr/bin/env bash
# Runs one phase of the real-window test program under a private Xvfb and plays the user: it
# waits for each line the program prints, then acts with xdotool, xwd or the close helper.
# Every wait is bounded; the whole run gives up after 50 seconds.
#
#   e2e-window.sh E2E_WINDOW SEND_CLOSE PHASE     PHASE: frame | input | close | no-display
set -uo pipefail

program=$1
send_close=$2
phase=$3
limit=$((SECONDS + 50))

work=$(mktemp -d "${TMPDIR:-/tmp}/hexmap-e2e.XXXXXX")
xvfb_pid=""
program_pid=""

cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "e2e-window ($phase): $*" >&2
  for f in out err xvfb.log; do
    [ -s "$work/$f" ] && { echo "--- $f" >&2; cat "$work/$f" >&2; }
  done
  exit 1
}

for tool in Xvfb xdotool xwd; do
  command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
done

# Xvfb picks a free display itself and writes its number once it accepts clients; autorepeat
# is pushed out of reach so a held key gives exactly one press.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ardelay 60000 -arinterval 60000 \
    3>"$work/display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  local until=$((SECONDS + 15))
  while ! grep -q '[0-9]' "$work/display" 2>/dev/null; do
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start"
    [ $SECONDS -lt $until ] || fail "Xvfb did not report a display"
    sleep 0.05
  done
  export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
}

start_program() {
  "$program" "$@" >"$work/out" 2>"$work/err" &
  program_pid=$!
}

# Waits until the program has printed LINE.
expect() {
  while ! grep -qxsF -- "$1" "$work/out"; do
    grep -qs "^FAIL" "$work/out" && fail "program failed while the driver waited for \"$1\""
    if ! kill -0 "$program_pid" 2>/dev/null; then
      grep -qxsF -- "$1" "$work/out" || fail "program ended before \"$1\""
    fi
    [ $SECONDS -lt $limit ] || fail "timed out waiting for \"$1\""
    sleep 0.05
  done
}

x() { timeout 10 "$@" || fail "$* failed"; }

window_id() {
  local id=""
  while [ -z "$id" ]; do
    id=$(timeout 5 xdotool search --name '^hexmap$' 2>/dev/null | head -n 1)
    [ $SECONDS -lt $limit ] || fail "no window named hexmap"
    [ -n "$id" ] || sleep 0.05
  done
  echo "$id"
}

finish() {
  local until=$((SECONDS + 10))
  while kill -0 "$program_pid" 2>/dev/null; do
    [ $SECONDS -lt $until ] || fail "program did not end"
    sleep 0.05
  done
  wait "$program_pid"
  local rc=$?
  program_pid=""
  [ $rc -eq 0 ] || fail "program exited with status $rc"
  cat "$work/out"
}

case "$phase" in
  frame)
    start_xvfb
    start_program frame "$work"
    for n in 1 2; do
      expect "presented $n"
      wid=$(window_id) || exit 1
      x xwd -silent -id "$wid" -out "$work/grab.tmp"
      mv "$work/grab.tmp" "$work/grab$n.xwd"
      expect "frame $n ok"
    done
    ;;
  input)
    start_xvfb
    start_program input
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
    x xdotool click 1
    expect "click seen"
    x xdotool windowfocus "$wid"
    for key in F1:F1 space:space Escape:escape; do
      x xdotool keydown "${key%%:*}"
      expect "${key##*:} down"
      x xdotool keyup "${key%%:*}"
      expect "${key##*:} up"
    done
    expect "keys ok"
    ;;
  close)
    start_xvfb
    start_program close
    expect "ready"
    x "$send_close" hexmap
    expect "close ok"
    ;;
  no-display)
    # No display and no driver chosen: SDL would fall back to a driver that shows nothing,
    # which the layer refuses.
    unset DISPLAY WAYLAND_DISPLAY SDL_VIDEODRIVER
    start_program no-display
    expect "no display ok"
    grep -q "no display" "$work/err" || fail "the failure left no clear reason on standard error"
    ;;
  *)
    fail "unknown phase"
    ;;
esac
finish
