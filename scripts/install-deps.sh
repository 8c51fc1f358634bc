#!/usr/bin/env bash
# Installs every Debian 12 package that building, testing, benchmarking and fuzzing hexmap
# needs. Idempotent: packages already present are left alone and apt is not asked again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev
  libboost-graph-dev
  libcli11-dev libpugixml-dev nlohmann-json3-dev libpng-dev zlib1g-dev
  clang libclang-rt-14-dev clang-format clang-tidy cppcheck
  xvfb xdotool x11-apps libx11-dev python3
  emscripten chromium nodejs
)

# Tiled's own renderer, for the test that compares its pictures with ours. Optional: that test
# says it is skipped when it is missing.
optional=(tiled)

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The web test's npm; some Node.js builds bring their own.
command -v npm >/dev/null || missing+=(npm)
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
required=()
for p in "${missing[@]}"; do
  [[ " ${optional[*]} " == *" $p "* ]] || required+=("$p")
done
[ ${#required[@]} -eq 0 ] ||
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${required[@]}"
for p in "${optional[@]}"; do
  [[ " ${missing[*]} " == *" $p "* ]] || continue
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$p" ||
    echo "install-deps: optional package $p could not be installed"
done
