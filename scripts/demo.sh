#!/usr/bin/env bash
# Starts the demonstration program from its run folder. Without a display it plays a short
# scripted session under Xvfb instead and prints where the screenshots are.
#
#   demo.sh BUILD_DIR
set -euo pipefail

build=$(realpath "$1")
demo=$build/demo/hexmap_demo
run_dir=$build/demo/run
here=$(dirname "$(realpath "$0")")

if [ ! -x "$demo" ]; then
  echo "demo: $demo is missing; build first (make build)" >&2
  exit 1
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${SDL_VIDEODRIVER:-}" ]; then
  cd "$run_dir"
  exec "$demo"
fi

shots=$build/demo-screens
echo "demo: no display; playing a scripted session under Xvfb instead (about 20 seconds)"
bash "$here/demo-session.sh" session "$demo" "$run_dir" "$shots"
status=$(cat "$shots/status")
for xwd in "$shots"/shot-*.xwd; do
  python3 "$here/xwd_to_png.py" "$xwd" "${xwd%.xwd}.png"
done
echo "demo: the demo ended with status $status; screenshots:"
ls -1 "$shots"/shot-*.png
echo "demo: its standard output is in $shots/out.txt"
