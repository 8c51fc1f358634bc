#!/usr/bin/env bash
# docs/tiled.md's example as a newcomer would run it: the steps' commands, in a copy of
# docs/tiled/, print what the page shows, and draw the page's picture at its size.
# Usage: tiled_doc_test.sh TILED_MD TOOL_DIR
set -euo pipefail
doc=$(realpath "$1") tool_dir=$(realpath "$2")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$(dirname "$doc")"/tiled/* "$work/"
export PATH="$tool_dir:$PATH"
cd "$work"

# The steps' commands (indented in the page's list), and the first text block after them,
# which shows what their `hexmap check` prints.
awk '/^ *```sh$/ { inside = 1; next } /^ *```$/ { inside = 0 } inside' "$doc" |
  sed -E 's/^ +//' > steps.sh
awk '/^```text$/ { inside = 1; next } /^```$/ && inside { exit } inside' "$doc" > expected.txt
[ -s steps.sh ] && [ -s expected.txt ] || { echo "tiled-doc: no steps or no output in $doc"; exit 1; }

status=0
bash -euo pipefail steps.sh > /dev/null 2>&1 || { echo "tiled-doc: the steps failed"; status=1; }
grep '^hexmap check ' steps.sh | bash > output.txt 2>&1 || true
if ! diff output.txt expected.txt; then
  echo "tiled-doc: the output above differs from the page's"; status=1
fi
picture=$(grep -oE '\]\([^)/]+\.png\)' "$doc" | head -n 1 | sed -E 's/^\]\(|\)$//g')
drawn=$(grep -oE -- '-o [^ ]+\.png' steps.sh | head -n 1 | cut -c4-)
size() { head -c 24 "$1" | tail -c 8 | od -An -tx1; }
if [ -z "$drawn" ] || [ ! -f "$drawn" ] || [ "$(size "$drawn")" != "$(size "$(dirname "$doc")/$picture")" ]; then
  echo "tiled-doc: the steps do not draw $picture at its size"; status=1
fi
exit $status
