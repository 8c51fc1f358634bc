// Sight decided literally: for each way of moving the segment aside, every side of every cell
// near it is checked (grid coordinates; centres and corners in the space where rows are
// 1/sqrt(3) as tall, centre (3x, 2y + (x & 1)), corners at (+-2, 0) and (+-1, +-1)).
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "hexmap/directions.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap::reference {

struct Pt {
  int64_t x, y;
  bool operator==(const Pt&) const = default;
};
inline Pt centre_of(VECTOR2D c) {
  return {3 * int64_t{c.X}, 2 * int64_t{c.Y} + (c.X & 1)};
}
// The sign of the turn o -> a -> b; on the line, -side: the segment moved towards `side`.
inline int turn(Pt o, Pt a, Pt b, int side = 0) {
  const int64_t v = (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
  return v > 0 ? 1 : (v < 0 ? -1 : -side);
}

inline bool literal_sight(const HEXAGON_MAP& map, VECTOR2D from, VECTOR2D to) {
  if (map.INSIDE(from) == 0 || map.INSIDE(to) == 0) return false;
  static constexpr std::array<Pt, 6> kCorners{
      {{2, 0}, {1, 1}, {-1, 1}, {-2, 0}, {-1, -1}, {1, -1}}};
  const Pt a = centre_of(from), b = centre_of(to);
  for (const int side : {1, -1}) {
    bool clear = true;
    for (int32_t y = std::min(from.Y, to.Y) - 1; y <= std::max(from.Y, to.Y) + 1; ++y) {
      for (int32_t x = std::min(from.X, to.X) - 1; x <= std::max(from.X, to.X) + 1; ++x) {
        const VECTOR2D cell(x, y);
        const bool opaque = map.GET_ID(cell).SOLID != 0 && cell != from && cell != to;
        for (int32_t d = 0; d < 6 && map.INSIDE(cell) != 0; ++d) {
          const VECTOR2D n(HEXAGON_MAP::ADJACENT_X(x, y, d), HEXAGON_MAP::ADJACENT_Y(x, y, d));
          const bool wall = ((map.GET_ID_WALL(cell) >> d | map.GET_ID_WALL(n) >> opposite(d)) & 1);
          // The side's ends are the corners this cell shares with the neighbour.
          std::vector<Pt> ends;
          for (const Pt k : kCorners)
            for (const Pt m : kCorners)
              if (Pt{centre_of(cell).x + k.x, centre_of(cell).y + k.y} ==
                  Pt{centre_of(n).x + m.x, centre_of(n).y + m.y})
                ends.push_back({centre_of(cell).x + k.x, centre_of(cell).y + k.y});
          if ((wall || opaque) && turn(a, b, ends.at(0), side) != turn(a, b, ends.at(1), side) &&
              turn(ends[0], ends[1], a) * turn(ends[0], ends[1], b) < 0)
            clear = false;
        }
      }
    }
    if (clear) return true;
  }
  return false;
}

// A silent random map: one-sided walls with stray high bits, SOLID -1, 0 or 1, cells without
// ground; `clutter` percent of cells get walls and as many are solid.
inline void make_sight_map(HEXAGON_MAP& map, std::mt19937& rng, int32_t width, int32_t height,
                           int32_t clutter) {
  const auto pick = [&](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution(lo, hi)(rng);
  };
  map.LOG_OFF();
  map.CREATE_MAP(width, height);
  for (MAP_CELL& c : map.CELLS) {
    c.ID_GROUND = pick(0, 4) == 0 ? 0 : 1;
    if (pick(0, 99) < clutter)
      c.ID_WALL = 1 << pick(0, 5) | (pick(0, 3) == 0 ? pick(1, 1 << 20) << 6 : 0);
    if (pick(0, 99) < clutter) c.SOLID = pick(0, 1) == 0 ? -1 : 1;
  }
}

}  // namespace hexmap::reference
