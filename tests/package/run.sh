#!/usr/bin/env bash
# Builds and runs the program in consumer/ against hexmap the ways its users get it, each in a
# scratch folder that is removed afterwards.
#   run.sh install BUILD_DIR CXX [CXXFLAGS]: installs the build into a fresh prefix and checks
#     what is there, then builds the program with find_package and with pkg-config.
#   run.sh subproject SOURCE_DIR CXX [CXXFLAGS]: builds the program with hexmap added to it by
#     add_subdirectory.
set -euo pipefail
mode=${1:?usage: run.sh install|subproject TREE CXX [CXXFLAGS]}
tree=${2:?}
cxx=${3:?}
flags=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "package: $*" >&2
  exit 1
}

expected='path found, 9 steps; first log line ": - HEXAGON MAP is created"; pixel ffffffff'
run_consumer() {  # how it was built, program
  local out
  out=$("$2") || fail "$1: the program failed"
  [ "$out" = "$expected" ] || fail "$1: printed '$out', expected '$expected'"
  # It must load the libraries by their versioned names.
  readelf -d "$2" | grep -q 'NEEDED.*\[libhexmap\.so\.[0-9]' || fail "$1: unversioned libhexmap"
  echo "package: $1: ok"
}

cmake_consumer() {  # build folder, extra configure arguments...
  local dir=$work/$1
  shift
  cmake -S "$here/consumer" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_CXX_FLAGS="$flags" "$@" >"$work/log" 2>&1 || { cat "$work/log"; fail "configure failed"; }
  cmake --build "$dir" >"$work/log" 2>&1 || { cat "$work/log"; fail "build failed"; }
}

# Each library's dynamic symbols are its own public names and nothing else.
check_exports() {  # library file, namespace
  local symbols leaked
  symbols=$(nm -D --defined-only -C "$1" | cut -d' ' -f3-)
  [ -n "$symbols" ] || fail "$1 exports nothing"
  leaked=$(grep -v "^$2::" <<<"$symbols" | grep -v -e '^_edata$' -e '^_end$' -e '^__bss_start$' || true)
  leaked+=$(grep "::detail::" <<<"$symbols" || true)
  [ -z "$leaked" ] || fail "$(basename "$1") exports more than its interface: $leaked"
}

case $mode in
install)
  prefix=$work/prefix
  cmake --install "$tree" --prefix "$prefix" >/dev/null
  headers=$(cd "$prefix/include" && find . -type f | sort | xargs)
  [ "$headers" = "./hexmap/hexagon_map.hpp ./raster/raster.hpp" ] ||
    fail "installed headers are not the public ones: $headers"
  check_exports "$(find "$prefix" -name libhexmap.so)" hexmap
  check_exports "$(find "$prefix" -name libhexmap-raster.so)" raster

  cmake_consumer cmake -DCMAKE_PREFIX_PATH="$prefix"
  run_consumer find_package "$work/cmake/hexmap_consumer"

  pc_dir=$(dirname "$(find "$prefix" -name hexmap.pc)")
  export PKG_CONFIG_PATH=$pc_dir
  # shellcheck disable=SC2046,SC2086  # flags are word lists
  "$cxx" -std=c++20 $flags "$here/consumer/main.cpp" -o "$work/pc_consumer" \
    $(pkg-config --cflags --libs hexmap) -Wl,-rpath,"$(pkg-config --variable=libdir hexmap)" ||
    fail "build with pkg-config failed"
  run_consumer pkg-config "$work/pc_consumer"
  ;;
subproject)
  cmake_consumer parent -DHEXMAP_SOURCE_DIR="$tree"
  run_consumer add_subdirectory "$work/parent/hexmap_consumer"
  ;;
*) fail "unknown mode $mode" ;;
esac
