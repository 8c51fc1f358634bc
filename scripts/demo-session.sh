#!/usr/bin/env bash
# Plays the demonstration program under a private Xvfb and keeps what it showed. Every wait is
# bounded; the whole run gives up after 80 seconds.
#
#   demo-session.sh session DEMO RUN_DIR OUT_DIR [CHECKER]
#       a scripted session: SPACE, a left click on a far cell, F1, a right click on a wall
#       side, F1, Escape. Saves shot-N.xwd after each step, out.txt, err.txt and status. With
#       CHECKER (e2e_demo_check), the walk is over when "CHECKER arrived" says so rather than
#       after a fixed wait, so a slow machine does not cut it short.
#   demo-session.sh close DEMO RUN_DIR OUT_DIR SEND_CLOSE
#       the window's close button, then out.txt, err.txt and status.
#   demo-session.sh missing-frame|missing-map DEMO RUN_DIR OUT_DIR
#       the demo in a copy of the run folder without "demo_frame.bmp" or "demo_map.txt", on
#       SDL's off-screen driver; out.txt, err.txt and status.
#
# Screen pixels below are those of the 640 x 400 window; the cells are those of demo_map.txt.
set -uo pipefail

mode=$1
demo=$(realpath "$2")
run_dir=$3
out=$4
extra=${5:-}
limit=$((SECONDS + 80))

mkdir -p "$out"
rm -f "$out"/shot-*.xwd "$out"/out.txt "$out"/err.txt "$out"/status
work=$(mktemp -d "${TMPDIR:-/tmp}/hexmap-demo.XXXXXX")
xvfb_pid=""
demo_pid=""

cleanup() {
  [ -n "$demo_pid" ] && kill "$demo_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "demo-session ($mode): $*" >&2
  for f in out.txt err.txt; do
    [ -s "$out/$f" ] && { echo "--- $f" >&2; tail -n 20 "$out/$f" >&2; }
  done
  exit 1
}

if [ "$mode" = missing-frame ] || [ "$mode" = missing-map ]; then
  cp "$run_dir"/* "$work"/
  [ "$mode" = missing-frame ] && rm "$work/demo_frame.bmp"
  [ "$mode" = missing-map ] && rm "$work/demo_map.txt"
  (cd "$work" && SDL_VIDEODRIVER=offscreen timeout 20 "$demo") >"$out/out.txt" 2>"$out/err.txt"
  echo $? >"$out/status"
  exit 0
fi

for tool in Xvfb xdotool xwd; do
  command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
done

# Xvfb picks a free display and writes its number once it accepts clients; autorepeat is pushed
# out of reach so a held key gives one press.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ardelay 60000 -arinterval 60000 \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
until grep -q '[0-9]' "$work/display" 2>/dev/null; do
  kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb did not start"
  [ $SECONDS -lt $limit ] || fail "Xvfb did not report a display"
  sleep 0.05
done
export DISPLAY=":$(tr -dc '0-9' <"$work/display")"
unset SDL_VIDEODRIVER

(cd "$run_dir" && exec "$demo") >"$out/out.txt" 2>"$out/err.txt" &
demo_pid=$!

x() { timeout 10 "$@" || fail "$* failed"; }

wid=""
while [ -z "$wid" ]; do
  kill -0 "$demo_pid" 2>/dev/null || fail "the demo ended before its window appeared"
  [ $SECONDS -lt $limit ] || fail "no window named hexmap"
  wid=$(timeout 5 xdotool search --name '^hexmap$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] || sleep 0.05
done
x xdotool windowfocus "$wid"

shots=0
shot() {
  sleep "$1"
  shots=$((shots + 1))
  x xwd -silent -id "$wid" -out "$work/grab.tmp"
  mv "$work/grab.tmp" "$out/shot-$shots.xwd"
}
press() {
  x xdotool keydown "$1"
  sleep 0.15
  x xdotool keyup "$1"
}
click() {
  x xdotool mousemove --window "$wid" "$1" "$2"
  sleep 0.1
  x xdotool click "$3"
}

case "$mode" in
  session)
    shot 1.0               # 1: the start, the camera on the wizard
    press space
    shot 2.0               # 2: the camera on the hero at (0, 1), in the window's centre
    click 331 343 1        # cell (5, 5)
    if [ -n "$extra" ]; then
      until=$((SECONDS + 40))
      until shot 0.5 && "$extra" arrived "$out" "$run_dir" 2>/dev/null; do
        [ $SECONDS -lt $until ] || fail "the hero did not arrive"
        rm "$out/shot-$shots.xwd"
        shots=$((shots - 1))
      done
    else
      shot 9.0             # 3: the hero has walked there, the camera with it
    fi
    press F1
    shot 0.5               # 4: paths hidden
    click 159 202 3        # the top side of cell (4, 6)
    shot 0.5               # 5: the wall between (4, 6) and (4, 5)
    press F1
    shot 0.5               # 6: paths shown again
    x xdotool keydown Escape
    ;;
  close)
    shot 1.0
    x "$extra" hexmap
    ;;
  *)
    fail "unknown mode"
    ;;
esac

until=$((SECONDS + 10))
while kill -0 "$demo_pid" 2>/dev/null; do
  [ $SECONDS -lt $until ] || fail "the demo did not end"
  sleep 0.05
done
wait "$demo_pid"
echo $? >"$out/status"
demo_pid=""
