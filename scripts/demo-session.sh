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
#   demo-session.sh no-display DEMO RUN_DIR OUT_DIR
#       the demo with no display and no driver chosen; out.txt, err.txt and status.
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
source "$(dirname "$(realpath "$0")")/xvfb-window.sh"

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
if [ "$mode" = no-display ]; then
  (cd "$run_dir" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 20 "$demo") \
    >"$out/out.txt" 2>"$out/err.txt"
  echo $? >"$out/status"
  exit 0
fi

start_xvfb
(cd "$run_dir" && exec "$demo") >"$out/out.txt" 2>"$out/err.txt" &
app_pid=$!
wid=$(window_id) || exit 1
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
    x "$extra" "$wid"
    ;;
  *)
    fail "unknown mode"
    ;;
esac

wait_app status
echo "$status" >"$out/status"
