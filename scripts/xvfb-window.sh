# shellcheck shell=bash
# Sourced by the scripts that play a program in a real window (e2e-window.sh, demo-session.sh):
# a private Xvfb, bounded waits and the program's window. The sourcing script defines fail and
# sets limit (the SECONDS by which everything gives up); app_pid is the program it started.
#
#   start_xvfb             checks the tools, starts Xvfb and exports its DISPLAY
#   window_id              waits for the window named hexmap and prints its id
#   x COMMAND...           runs an X tool, bounded; fails the run when it fails
#   wait_app STATUS_VAR    waits (bounded) for the program to end and stores its status

work=$(mktemp -d "${TMPDIR:-/tmp}/hexmap-window.XXXXXX")
xvfb_pid=""
app_pid=""

cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts clients; autorepeat
# is pushed out of reach so a held key gives exactly one press.
start_xvfb() {
  for tool in Xvfb xdotool xwd; do
    command -v "$tool" >/dev/null || fail "$tool is missing (run scripts/install-deps.sh)"
  done
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
  unset SDL_VIDEODRIVER
}

x() { timeout 10 "$@" || fail "$* failed"; }

window_id() {
  local id=""
  while [ -z "$id" ]; do
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended before its window appeared"
    [ $SECONDS -lt $limit ] || fail "no window named hexmap"
    id=$(timeout 5 xdotool search --name '^hexmap$' 2>/dev/null | head -n 1)
    [ -n "$id" ] || sleep 0.05
  done
  echo "$id"
}

wait_app() {
  local until=$((SECONDS + 10))
  while kill -0 "$app_pid" 2>/dev/null; do
    [ $SECONDS -lt $until ] || fail "the program did not end"
    sleep 0.05
  done
  wait "$app_pid"
  printf -v "$1" '%s' "$?"
  app_pid=""
}
