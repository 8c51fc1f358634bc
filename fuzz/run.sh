#!/usr/bin/env bash
# Runs each fuzz target of a build for a number of seconds, starting from the committed seed
# corpus. Exits non-zero on any finding (crash, sanitizer report, leak, timeout).
# Usage: fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=${1:?usage: fuzz/run.sh BUILD_DIR SECONDS}
seconds=${2:?usage: fuzz/run.sh BUILD_DIR SECONDS}
here=$(cd "$(dirname "$0")" && pwd)

# New inputs go to a scratch copy so the committed corpus stays as reviewed.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in bmp_load map_ops map_load tmx_load; do
  binary="$build/fuzz/fuzz_$target"
  [ -x "$binary" ] || { echo "fuzz: $binary not built" >&2; exit 1; }
  mkdir -p "$work/$target"
  cp "$here/corpus/$target/"* "$work/$target/"
  echo "fuzz: $target for ${seconds}s"
  "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz/${target}-" "$work/$target"
done
