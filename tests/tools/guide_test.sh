#!/usr/bin/env bash
# Runs every command and program of docs/guide.md as written.
#  - ```sh blocks run in order in one shell, in a scratch folder holding the demo's files;
#  - a ```text block right after a ```sh block is that block's expected output (CR removed);
#  - ```cmake and ```cpp blocks are files, named by their first line's comment, written
#    when they are reached;
#  - every picture the guide shows must be drawn by its commands, at the committed size.
# Usage: guide_test.sh GUIDE TOOL_DIR DEMO_RUN_DIR BUILD_DIR
set -euo pipefail
guide=$(realpath "$1") tool_dir=$(realpath "$2") demo=$(realpath "$3") build=$(realpath "$4")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$demo/demo_map.txt" "$demo/demo_tiles.bmp" "$work/"
# The package, installed as the guide says into a fresh $HOME/.local: the guide's own steps
# must lead CMake and pkg-config there, and the programs to its libraries, with nothing on
# PATH or in the environment pointing at it.
export HOME="$work/home"
cmake --install "$build" --prefix "$HOME/.local" > /dev/null
unset CMAKE_PREFIX_PATH PKG_CONFIG_PATH LD_LIBRARY_PATH
export PATH="$tool_dir:$PATH"

# Split the guide into numbered blocks: NNN.sh, NNN.text, NNN.file (first line names it).
blocks="$work/.blocks"
mkdir "$blocks"
awk -v dir="$blocks" '
  /^```[a-z]+$/ && !inside { inside = 1; n++; kind = substr($0, 4);
                             file = sprintf("%s/%03d.%s", dir, n, kind); next }
  /^```$/ && inside { inside = 0; close(file); next }
  inside { print > file }
' "$guide"

status=0
previous_kind=""
previous_output=""
cd "$work"
for block in "$blocks"/*; do
  kind=${block##*.}
  case $kind in
    sh)
      output="$blocks/$(basename "$block" .sh).out"
      echo "guide: running $(tr '\n' ';' < "$block")"
      if ! bash -euo pipefail "$block" > "$output" 2>&1; then
        echo "guide: FAILED:"; cat "$output"; status=1
      fi
      previous_output=$output ;;
    text)
      if [ "$previous_kind" = sh ]; then
        if ! diff <(tr -d '\r' < "$previous_output") "$block"; then
          echo "guide: the output above differs from the guide's"; status=1
        fi
      fi ;;
    cmake|cpp)
      name=$(head -n 1 "$block" | sed -E 's@^(//|#) *@@')
      cp "$block" "$work/$name" ;;
  esac
  previous_kind=$kind
done

# Pictures: each one the guide shows was drawn by the guide's own commands.
for picture in $(grep -oE '\]\(guide/[^)]+\.png\)' "$guide" | sed -E 's/^\]\(|\)$//g'); do
  committed="$(dirname "$guide")/$picture"
  if [ ! -f "$work/$picture" ] || [ ! -f "$committed" ]; then
    echo "guide: $picture is not drawn by the guide's commands or not committed"; status=1
  elif [ "$(head -c 24 "$work/$picture" | tail -c 8 | od -An -tx1)" != \
         "$(head -c 24 "$committed" | tail -c 8 | od -An -tx1)" ]; then
    echo "guide: $picture is drawn at another size than the committed one"; status=1
  fi
done
exit $status
