#!/usr/bin/env bash
# Plays the demo's web page in headless Chromium (tests/web) and prints the test runner's
# verdict. Installs the test's pinned npm packages first when they are missing or stale.
#
#   web-test.sh WEB_DIR WASM_BUILD_DIR NATIVE_BUILD_DIR [BENCH_BUILD_DIR]
#     WEB_DIR           the page (make web)
#     WASM_BUILD_DIR    its WebAssembly build, whose host/ folder drew the packed data files
#     NATIVE_BUILD_DIR  a native build with tests: its e2e_demo_check judges the page's shots
#     BENCH_BUILD_DIR   a native build with bench_demo_frame, whose figure is printed beside
#                       the page's
set -euo pipefail

web=$(realpath "$1")
wasm=$(realpath "$2")
native=$(realpath "$3")
bench=${4:+$(realpath "$4")}
tests=$(dirname "$(realpath "$0")")/../tests/web

check=$native/tests/e2e/e2e_demo_check
for f in "$web/index.html" "$web/hexmap_demo.wasm" "$check"; do
  [ -e "$f" ] || { echo "web-test: $f is missing" >&2; exit 1; }
done
cd "$tests"
stamp=node_modules/.installed-from-lock
if ! cmp -s package-lock.json "$stamp"; then
  npm ci --no-audit --no-fund --loglevel=error
  cp package-lock.json "$stamp"
fi
export HEXMAP_WEB_DIR=$web HEXMAP_E2E_CHECK=$check HEXMAP_DEMO_RUN_DIR=$wasm/host/demo/run
if [ -n "$bench" ] && [ -x "$bench/bench/bench_demo_frame" ]; then
  export HEXMAP_BENCH_DEMO_FRAME=$bench/bench/bench_demo_frame
fi
exec node --test web_test.mjs
