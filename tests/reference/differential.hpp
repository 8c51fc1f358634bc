// The engine's search and flood against the literal algorithms: random sequences of
// operations on two maps (searches, floods, overwritten cells with garbage positions, direct
// neighbour checks, re-created grids), compared field by field after every step. Shared by the
// differential test (random choices) and the fuzzer (choices taken from its input).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <sstream>
#include <string>
#include <utility>

#include "hexmap/hexagon_map.hpp"
#include "tests/reference/search_reference.hpp"

namespace hexmap::reference {

inline constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();
inline constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();

// The first fields in which the two maps differ, or an empty text.
inline std::string first_difference(const HEXAGON_MAP& a, const HEXAGON_MAP& b) {
  std::ostringstream out;
  const auto field = [&](const char* name, int64_t x, int64_t y) {
    if (x != y) out << name << ": engine " << x << ", reference " << y << "; ";
  };
  field("MAP_WIDTH", a.MAP_WIDTH, b.MAP_WIDTH);
  field("CELL_COUNT", a.CELL_COUNT, b.CELL_COUNT);
  field("ASTAR_START_INDEX", a.ASTAR_START_INDEX, b.ASTAR_START_INDEX);
  field("ASTAR_END_INDEX", a.ASTAR_END_INDEX, b.ASTAR_END_INDEX);
  field("ASTAR_START.X", a.ASTAR_START.X, b.ASTAR_START.X);
  field("ASTAR_START.Y", a.ASTAR_START.Y, b.ASTAR_START.Y);
  field("ASTAR_END.X", a.ASTAR_END.X, b.ASTAR_END.X);
  field("ASTAR_END.Y", a.ASTAR_END.Y, b.ASTAR_END.Y);
  field("ASTAR_PATH_FOUND", a.ASTAR_PATH_FOUND, b.ASTAR_PATH_FOUND);
  field("ASTAR_PATH_LENGTH", a.ASTAR_PATH_LENGTH, b.ASTAR_PATH_LENGTH);
  field("ASTAR_FIRST_DIRECTION", a.ASTAR_FIRST_DIRECTION, b.ASTAR_FIRST_DIRECTION);
  if (a.CELLS.size() != b.CELLS.size()) return out.str() + "cell arrays differ in size";
  // The eighteen ints of a cell, in their order.
  static constexpr std::array<const char*, 18> kNames{"ID_GROUND",
                                                      "ID_OVERLAY",
                                                      "ID_PROP",
                                                      "ID_WALL",
                                                      "SPARE",
                                                      "POSITION.X",
                                                      "POSITION.Y",
                                                      "SOLID",
                                                      "ASTAR_PARENT.X",
                                                      "ASTAR_PARENT.Y",
                                                      "ASTAR_PARENT_INDEX",
                                                      "ASTAR_DIRECTION",
                                                      "ASTAR_LIST",
                                                      "ASTAR_PATH_DIRECTION",
                                                      "ASTAR_F",
                                                      "ASTAR_G",
                                                      "ASTAR_H",
                                                      "FLOOD"};
  static_assert(sizeof(MAP_CELL) == kNames.size() * sizeof(int32_t));
  for (size_t i = 0; i < a.CELLS.size() && out.tellp() == 0; ++i) {
    std::array<int32_t, 18> x{};
    std::array<int32_t, 18> y{};
    std::memcpy(x.data(), &a.CELLS[i], sizeof(MAP_CELL));
    std::memcpy(y.data(), &b.CELLS[i], sizeof(MAP_CELL));
    for (size_t f = 0; f < x.size(); ++f) {
      if (x[f] != y[f]) {
        out << "cell " << i << " " << kNames[f] << ": engine " << x[f] << ", reference " << y[f];
      }
    }
  }
  return out.str();
}

// Random operations on two maps, one run by the engine and one by the literal algorithms.
// Source supplies the choices: int32_t between(int32_t lo, int32_t hi), both ends inclusive.
template <typename Source>
class Sequence {
 public:
  explicit Sequence(Source source) : source_(std::move(source)) {
    engine_.LOG_OFF();
    literal_.LOG_OFF();
    create(between(1, 30), between(1, 30));
  }

  // One random operation on both maps; returns what it did.
  std::string step() {
    std::ostringstream what;
    const int32_t w = engine_.MAP_WIDTH;
    const int32_t h = engine_.MAP_HEIGHT;
    const int32_t pick = between(0, 99);
    if (pick < 14) {
      const int32_t limit = random_limit();
      what << "ASTAR_COMPUTE(" << limit << ")";
      engine_.ASTAR_COMPUTE(limit);
      reference::astar_compute(literal_, limit);
    } else if (pick < 34) {
      const int32_t sx = between(-2, w + 1);
      const int32_t sy = between(-2, h + 1);
      const bool same = chance(10);
      const int32_t ex = same ? sx : between(-2, w + 1);
      const int32_t ey = same ? sy : between(-2, h + 1);
      const int32_t limit = random_limit();
      what << "ASTAR_COMPUTE(" << sx << "," << sy << "," << ex << "," << ey << "," << limit << ")";
      if (chance(50)) {
        engine_.ASTAR_COMPUTE(sx, sy, ex, ey, limit);
      } else {
        engine_.ASTAR_COMPUTE(VECTOR2D(sx, sy), VECTOR2D(ex, ey), limit);
      }
      reference::astar_compute(literal_, sx, sy, ex, ey, limit);
    } else if (pick < 50) {
      const int32_t x = between(-2, w + 1);
      const int32_t y = between(-2, h + 1);
      static constexpr std::array<int32_t, 12> kSteps{-1, 0,  1,  2,       3,           5,
                                                      8,  13, 40, 1 << 30, kIntMax - 1, kIntMax};
      const int32_t steps = chance(20) ? kIntMin : kSteps[static_cast<size_t>(between(0, 11))];
      what << "FLOODMAP_COMPUTE(" << x << "," << y << "," << steps << ")";
      if (chance(50)) {
        engine_.FLOODMAP_COMPUTE(x, y, steps);
      } else {
        engine_.FLOODMAP_COMPUTE(VECTOR2D(x, y), steps);
      }
      reference::flood_compute(literal_, x, y, steps);
    } else if (pick < 66) {
      const int32_t x = between(-1, w);
      const int32_t y = between(-1, h);
      const MAP_CELL cell = random_overwrite(x, y);
      what << "SET_ID(" << x << "," << y << ") position " << to_string(cell.POSITION);
      engine_.SET_ID(x, y, cell);
      literal_.SET_ID(x, y, cell);
    } else if (pick < 78) {
      const int32_t x = between(0, w - 1);
      const int32_t y = between(0, h - 1);
      what << "terrain at (" << x << "," << y << ")";
      randomise_terrain(x, y);
    } else if (pick < 84) {
      const int32_t index = between(-1, engine_.CELL_COUNT);
      const int32_t d = between(-1, 6);
      const int32_t x = between(-1, w);
      const int32_t y = between(-1, h);
      const int32_t cost = chance(20) ? kIntMax : between(-20, 40);
      what << "ASTAR_CHECKNEIGHBOUR(" << index << "," << d << "," << x << "," << y << "," << cost
           << ")";
      engine_.ASTAR_CHECKNEIGHBOUR(index, d, x, y, cost);
      reference::astar_check_neighbour(literal_, index, d, x, y, cost);
    } else if (pick < 87) {
      const int32_t index = between(-1, engine_.CELL_COUNT);
      const int32_t x = between(-1, w);
      const int32_t y = between(-1, h);
      what << "ASTAR_CHECKNEIGHBOURS(" << index << "," << x << "," << y << ")";
      engine_.ASTAR_CHECKNEIGHBOURS(index, x, y);
      reference::astar_check_neighbours(literal_, index, x, y);
    } else if (pick < 92) {
      const int32_t index = between(-1, engine_.CELL_COUNT);
      const int32_t d = between(-1, 6);
      const int32_t v = chance(10) ? kIntMin : between(-3, 12);
      what << "FLOODMAP_CHECK_NEIGHBOR(" << index << "," << d << "," << v << ")";
      engine_.FLOODMAP_CHECK_NEIGHBOR(index, d, v);
      reference::flood_check_neighbor(literal_, index, d, v);
    } else if (pick < 96) {
      // Often smaller, so that stored starts and ends go stale.
      const int32_t nw = chance(60) ? between(1, w) : between(1, 30);
      const int32_t nh = chance(60) ? between(1, h) : between(1, 30);
      what << "CREATE_MAP(" << nw << "," << nh << ")";
      create(nw, nh);
    } else if (pick < 98) {
      what << "ASTAR_CELLCLEARALL";
      engine_.ASTAR_CELLCLEARALL();
      literal_.ASTAR_CELLCLEARALL();
    } else {
      // The list marks are constants in practice; changing them must still reset exactly.
      static constexpr std::array<std::array<int32_t, 3>, 4> kMarks{
          {{0, 1, 2}, {0, 1, 2}, {7, -3, 0}, {1, 1, 2}}};
      const auto& m = kMarks[static_cast<size_t>(between(0, 3))];
      what << "marks " << m[0] << "," << m[1] << "," << m[2];
      for (HEXAGON_MAP* map : {&engine_, &literal_}) {
        map->ASTAR_NONE = m[0];
        map->ASTAR_OPEN = m[1];
        map->ASTAR_CLOSED = m[2];
      }
    }
    if (what.str().rfind("ASTAR_COMPUTE", 0) == 0) note_search();
    if (engine_.ASTAR_GETLOWESTF() != reference::astar_get_lowest_f(literal_)) {
      what << " [lowest F differs]";
      lowest_f_differs_ = true;
    }
    return what.str();
  }

  [[nodiscard]] std::string difference() const {
    return (lowest_f_differs_ ? std::string("ASTAR_GETLOWESTF; ") : std::string()) +
           first_difference(engine_, literal_);
  }
  [[nodiscard]] const HEXAGON_MAP& engine() const { return engine_; }

  // How often the searches met the cases that only bad input produces.
  int stale_searches = 0;
  int broken_traces = 0;

 private:
  int32_t between(int32_t lo, int32_t hi) { return source_.between(lo, hi); }
  bool chance(int32_t percent) { return between(0, 99) < percent; }

  void note_search() {
    const HEXAGON_MAP& m = engine_;
    const auto stale = [&](int32_t index, VECTOR2D p) {
      return index < 0 || index >= m.CELL_COUNT || m.INSIDE(p) == 0;
    };
    if (stale(m.ASTAR_START_INDEX, m.ASTAR_START) || stale(m.ASTAR_END_INDEX, m.ASTAR_END)) {
      ++stale_searches;
    } else if (m.ASTAR_START_INDEX != m.ASTAR_END_INDEX && m.ASTAR_PATH_FOUND == 0 &&
               m.CELLS[static_cast<size_t>(m.ASTAR_END_INDEX)].ASTAR_DIRECTION != -1) {
      ++broken_traces;  // the end was reached, yet its parents lead nowhere
    }
  }

  int32_t random_limit() {
    static constexpr std::array<int32_t, 8> kLimits{0, -1, kIntMin, 1, 2, 65535, 65535, kIntMax};
    return chance(40) ? between(3, 200) : kLimits[static_cast<size_t>(between(0, 7))];
  }

  int32_t random_position_component(int32_t size) {
    switch (between(0, 4)) {
      case 0:
        return chance(50) ? kIntMax : kIntMin;
      case 1:
        return between(-3, size + 2);
      default:
        return between(0, size - 1);
    }
  }

  void create(int32_t width, int32_t height) {
    engine_.CREATE_MAP(width, height);
    literal_.CREATE_MAP(width, height);
    const int32_t open_share = between(40, 100);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        if (chance(open_share)) {
          for (HEXAGON_MAP* m : {&engine_, &literal_})
            m->SET_ID_GROUND(x, y, 1);
        } else {
          randomise_terrain(x, y);
        }
      }
    }
  }

  void randomise_terrain(int32_t x, int32_t y) {
    const int32_t ground = chance(20) ? 0 : between(1, 3);
    static constexpr std::array<int32_t, 4> kSolid{0, 0, -1, 1};
    const int32_t solid = kSolid[static_cast<size_t>(between(0, 3))];
    const int32_t wall = chance(60) ? 0 : (chance(90) ? between(0, 63) : between(kIntMin, kIntMax));
    const bool set = solid == 1 || chance(50);
    for (HEXAGON_MAP* m : {&engine_, &literal_}) {
      m->SET_ID_GROUND(x, y, ground);
      m->SET_ID_WALL(x, y, wall);
      if (set) {
        m->ASTAR_CELLSETSOLID(x, y, solid);
      } else if ((m->GET_ID(x, y).SOLID != 0) != (solid != 0)) {
        m->ASTAR_CELLTOGGLESOLID(VECTOR2D(x, y));
      }
    }
  }

  MAP_CELL random_overwrite(int32_t x, int32_t y) {
    MAP_CELL c = engine_.GET_ID(x, y);
    c.ID_GROUND = chance(25) ? 0 : 1;
    c.SOLID = chance(70) ? 0 : (chance(50) ? -1 : 1);
    c.ID_WALL = chance(70) ? 0 : between(0, 63);
    if (chance(30)) {
      c.POSITION = VECTOR2D(random_position_component(engine_.MAP_WIDTH),
                            random_position_component(engine_.MAP_HEIGHT));
    }
    if (chance(30)) {
      c.ASTAR_PARENT = VECTOR2D(between(-5, 5), between(-5, 5));
      c.ASTAR_PARENT_INDEX = between(-2, engine_.CELL_COUNT + 2);
      c.ASTAR_DIRECTION = between(-1, 6);
      c.ASTAR_LIST = between(-1, 3);
      c.ASTAR_PATH_DIRECTION = between(-1, 6);
      c.ASTAR_F = between(kIntMin, kIntMax);
      c.ASTAR_G = chance(50) ? between(-100, 100) : between(kIntMin, kIntMax);
      c.ASTAR_H = between(kIntMin, kIntMax);
    }
    if (chance(30)) c.FLOOD = chance(50) ? between(-2, 20) : between(kIntMin, kIntMax);
    return c;
  }

  Source source_;
  HEXAGON_MAP engine_;
  HEXAGON_MAP literal_;
  bool lowest_f_differs_ = false;
};

}  // namespace hexmap::reference
