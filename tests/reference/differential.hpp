// The engine's search and flood against the literal algorithms: random sequences of operations
// on two maps (searches with limits from INT_MIN to INT_MAX, floods, cells overwritten with
// foreign positions and garbage, stray wall bits and mixed SOLID values, direct neighbour
// checks, re-created grids, new list marks), compared in every byte after every step. The
// random limits make the closed cells show the order of expansions. Shared by the differential
// test (random choices) and the fuzzer (choices taken from its input).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "tests/reference/search_reference.hpp"

namespace hexmap::reference {

inline constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
inline constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

// The map's start, end and result fields (ints 0 to 8), then every cell's eighteen ints.
inline std::vector<int32_t> search_state(const HEXAGON_MAP& m) {
  std::vector<int32_t> out{m.ASTAR_START_INDEX, m.ASTAR_END_INDEX,   m.ASTAR_START.X,
                           m.ASTAR_START.Y,     m.ASTAR_END.X,       m.ASTAR_END.Y,
                           m.ASTAR_PATH_FOUND,  m.ASTAR_PATH_LENGTH, m.ASTAR_FIRST_DIRECTION};
  const size_t head = out.size();
  out.resize(head + m.CELLS.size() * sizeof(MAP_CELL) / sizeof(int32_t));
  std::memcpy(out.data() + head, m.CELLS.data(), m.CELLS.size() * sizeof(MAP_CELL));
  return out;
}

// The first int of search_state in which the two maps differ, or an empty text.
inline std::string first_difference(const HEXAGON_MAP& engine, const HEXAGON_MAP& literal) {
  const std::vector<int32_t> a = search_state(engine);
  const std::vector<int32_t> b = search_state(literal);
  if (a.size() != b.size()) return "cell counts differ";
  const auto i =
      static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin());
  if (i == a.size()) return "";
  return "int " + std::to_string(i) + ": engine " + std::to_string(a[i]) + ", reference " +
         std::to_string(b[i]);
}

// Choices come from `between(lo, hi)`, both ends inclusive.
class Sequence {
 public:
  explicit Sequence(std::function<int32_t(int32_t, int32_t)> between)
      : between_(std::move(between)) {
    engine_.LOG_OFF();
    literal_.LOG_OFF();
    create(between_(1, 30), between_(1, 30));
  }

  // One random operation on both maps; returns its pick.
  std::string step() {
    const int32_t x = between(-2, engine_.MAP_WIDTH + 1);
    const int32_t y = between(-2, engine_.MAP_HEIGHT + 1);
    const bool same = chance(10);  // start = end
    const int32_t ex = same ? x : between(-2, engine_.MAP_WIDTH + 1);
    const int32_t ey = same ? y : between(-2, engine_.MAP_HEIGHT + 1);
    const int32_t index = between(-1, engine_.CELL_COUNT);
    const int32_t d = between(-1, 6);
    const int32_t n = number();
    const bool vector_form = chance(50);
    const int32_t pick = between(0, 99);
    if (pick < 14) {
      engine_.ASTAR_COMPUTE(n);
      ref_.astar_compute(n);
    } else if (pick < 34) {
      vector_form ? engine_.ASTAR_COMPUTE(VECTOR2D(x, y), VECTOR2D(ex, ey), n)
                  : engine_.ASTAR_COMPUTE(x, y, ex, ey, n);
      ref_.astar_compute(x, y, ex, ey, n);
    } else if (pick < 50) {
      vector_form ? engine_.FLOODMAP_COMPUTE(VECTOR2D(x, y), n) : engine_.FLOODMAP_COMPUTE(x, y, n);
      ref_.flood_compute(x, y, n);
    } else if (pick < 66) {
      const MAP_CELL cell = random_overwrite(x, y);
      engine_.SET_ID(x, y, cell);
      literal_.SET_ID(x, y, cell);
    } else if (pick < 78) {
      randomise_terrain(x, y, false);
    } else if (pick < 84) {
      engine_.ASTAR_CHECKNEIGHBOUR(index, d, x, y, n);
      ref_.astar_check_neighbour(index, d, x, y, n);
    } else if (pick < 92) {
      engine_.FLOODMAP_CHECK_NEIGHBOR(index, d, n);
      ref_.flood_check_neighbor(index, d, n);
    } else if (pick < 96) {
      // Often smaller, so that stored starts and ends go stale.
      const int32_t nw = chance(60) ? between(1, engine_.MAP_WIDTH) : between(1, 30);
      const int32_t nh = chance(60) ? between(1, engine_.MAP_HEIGHT) : between(1, 30);
      create(nw, nh);
    } else if (pick < 98) {
      engine_.ASTAR_CELLCLEARALL();
      ref_.cell_clear_all();
    } else {
      // The list marks are constants in practice; changing them must still reset exactly.
      static constexpr std::array<std::array<int32_t, 3>, 4> kMarks{
          {{0, 1, 2}, {0, 1, 2}, {7, -3, 0}, {1, 1, 2}}};
      const auto& m = kMarks[static_cast<size_t>(between(0, 3))];
      for (HEXAGON_MAP* map : {&engine_, &literal_}) {
        map->ASTAR_NONE = m[0];
        map->ASTAR_OPEN = m[1];
        map->ASTAR_CLOSED = m[2];
      }
    }
    if (engine_.ASTAR_GETLOWESTF() != ref_.astar_get_lowest_f()) lowest_f_differs_ = true;
    return "pick " + std::to_string(pick);
  }

  [[nodiscard]] std::string difference() const {
    return lowest_f_differs_ ? "ASTAR_GETLOWESTF differs" : first_difference(engine_, literal_);
  }
  [[nodiscard]] const HEXAGON_MAP& engine() const { return engine_; }

 private:
  int32_t between(int32_t lo, int32_t hi) { return between_(lo, hi); }
  bool chance(int32_t percent) { return between(0, 99) < percent; }

  // A limit, step count, cost or flood value: small ones and both ends of the int range.
  int32_t number() {
    static constexpr std::array<int32_t, 10> kEdges{kIntMin, -1,    0,       1,           2,
                                                    3,       65535, 1 << 30, kIntMax - 1, kIntMax};
    return chance(50) ? between(-3, 200) : kEdges[static_cast<size_t>(between(0, 9))];
  }

  void create(int32_t width, int32_t height) {
    engine_.CREATE_MAP(width, height);
    literal_.CREATE_MAP(width, height);
    const int32_t open_share = between(40, 100);
    for (int32_t i = 0; i < width * height; ++i)
      randomise_terrain(i % width, i / width, chance(open_share));
  }

  // Ground, walls with stray bits above 5, and SOLID -1, 0 or 1 set or toggled (grid
  // positions just off the map included); plain cells get ground alone.
  void randomise_terrain(int32_t x, int32_t y, bool plain) {
    const int32_t ground = !plain && chance(20) ? 0 : between(1, 3);
    const int32_t wall =
        plain || chance(60) ? 0 : (chance(90) ? between(0, 63) : between(kIntMin, kIntMax));
    const int32_t solid = plain ? 0 : between(-1, 1);
    for (HEXAGON_MAP* m : {&engine_, &literal_}) {
      m->SET_ID_GROUND(x, y, ground);
      m->SET_ID_WALL(x, y, wall);
    }
    if (solid == 1 || chance(50)) {
      engine_.ASTAR_CELLSETSOLID(x, y, solid);
      ref_.cell_set_solid(x, y, solid);
    } else if ((engine_.GET_ID(x, y).SOLID != 0) != (solid != 0)) {
      engine_.ASTAR_CELLTOGGLESOLID(VECTOR2D(x, y));
      ref_.cell_toggle_solid(x, y);
    }
  }

  MAP_CELL random_overwrite(int32_t x, int32_t y) {
    MAP_CELL c = engine_.GET_ID(x, y);
    if (chance(30)) c.POSITION = VECTOR2D(foreign(engine_.MAP_WIDTH), foreign(engine_.MAP_HEIGHT));
    if (chance(30)) {  // ASTAR_PARENT to ASTAR_H: list marks, directions, indices, extremes
      std::array<int32_t, 9> v{};
      for (int32_t& i : v)
        i = chance(80) ? between(-2, engine_.CELL_COUNT + 2) : number();
      std::memcpy(reinterpret_cast<char*>(&c) + offsetof(MAP_CELL, ASTAR_PARENT), v.data(),
                  sizeof(v));
    }
    if (chance(30)) c.FLOOD = chance(50) ? between(-2, 20) : between(kIntMin, kIntMax);
    return c;
  }

  // A POSITION component: another cell's, one just off the map, or an end of the int range.
  int32_t foreign(int32_t size) {
    const int32_t kind = between(0, 4);
    return kind == 0 ? (chance(50) ? kIntMax : kIntMin)
                     : (kind == 1 ? between(-3, size + 2) : between(0, size - 1));
  }

  std::function<int32_t(int32_t, int32_t)> between_;
  HEXAGON_MAP engine_;
  HEXAGON_MAP literal_;
  Literal ref_{literal_};
  bool lowest_f_differs_ = false;
};

}  // namespace hexmap::reference
