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

expected='path found, 9 steps, cheapest 9; ring of 12; first log line ": - HEXAGON MAP is created"; pixel ffffffff'
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

# What each library may export: its public names, as `nm -D -C` shows them without the
# argument list. A name that is not listed (an internal helper, a template the library happens to
# instantiate) fails the test; a new public function is added here on purpose.
hexmap_exports='hexmap::HEXAGON_MAP::(~?HEXAGON_MAP|[A-Z][A-Z0-9_]*)
hexmap::PathFinder::(~?PathFinder|(find_path|reachable|distance_field)(_by_steps)?)
hexmap::to_string
hexmap::hex_(line|ring|spiral|rotate)
hexmap::operator<<
hexmap::set_log_sink
hexmap::stdout_log_sink
hexmap::(line_of_sight|field_of_view|shade_out_of_sight)'
raster_exports='raster::(select_backend|failure_reason)
raster::screen_(set_mode|info|ptr|lock|unlock|clear)
raster::image_(create|destroy|width|height|pixels|get)
raster::(bmp_load|bmp_size|put_image|draw_line|draw_circle|draw_commands|graphics_cursor)
raster::(view_set|text_locate|print_text|mouse_state|key_down|key_read)
raster::(timer_seconds|random_seed|random_unit|sleep_ms|fatal_error|fatal_error_text)
raster::headless::(set_mouse|push_key|set_key_down|presented_frame)'

check_exports() {  # library file, allow-list (extended regular expressions, one a line)
  local names allowed leaked
  names=$(nm -D --defined-only -C "$1" | cut -d' ' -f3- | sed -e 's/(.*//' -e 's/\[abi:[^]]*\]//g')
  [ -n "$names" ] || fail "$1 exports nothing"
  allowed=$(sed 's/.*/^(&)$/' <<<"$2")
  leaked=$(grep -v -E -f <(echo "$allowed") <<<"$names" || true)
  [ -z "$leaked" ] || fail "$(basename "$1") exports more than its interface: $leaked"
}

case $mode in
install)
  prefix=$work/prefix
  cmake --install "$tree" --prefix "$prefix" >/dev/null
  headers=$(cd "$prefix/include" && find . -type f | sort | xargs)
  [ "$headers" = "./hexmap/directions.hpp ./hexmap/hex.hpp ./hexmap/hexagon_map.hpp ./hexmap/pathfinder.hpp ./hexmap/sight.hpp ./raster/raster.hpp" ] ||
    fail "installed headers are not the public ones: $headers"
  check_exports "$(find "$prefix" -name libhexmap.so)" "$hexmap_exports"
  check_exports "$(find "$prefix" -name libhexmap-raster.so)" "$raster_exports"

  cmake_consumer cmake -DCMAKE_PREFIX_PATH="$prefix"
  run_consumer find_package "$work/cmake/hexmap_consumer"

  # The flags alone must let the program find the libraries when it runs.
  pc_dir=$(dirname "$(find "$prefix" -name hexmap.pc)")
  export PKG_CONFIG_PATH=$pc_dir
  unset LD_LIBRARY_PATH
  # shellcheck disable=SC2046,SC2086  # flags are word lists
  "$cxx" -std=c++20 $flags "$here/consumer/main.cpp" -o "$work/pc_consumer" \
    $(pkg-config --cflags --libs hexmap) || fail "build with pkg-config failed"
  run_consumer pkg-config "$work/pc_consumer"
  if [ -e "$prefix/bin/hexmap" ]; then
    "$prefix/bin/hexmap" --help >/dev/null || fail "the installed hexmap tool does not start"
  fi
  ;;
subproject)
  cmake_consumer parent -DHEXMAP_SOURCE_DIR="$tree"
  run_consumer add_subdirectory "$work/parent/hexmap_consumer"
  ;;
*) fail "unknown mode $mode" ;;
esac
