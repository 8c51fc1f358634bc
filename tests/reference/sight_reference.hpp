// Sight decided literally: for each way of moving the segment aside, every side of every cell
// near it is checked (grid coordinates; centres and corners in the space where rows are
// 1/sqrt(3) as tall, centre (3x, 2y + (x & 1)), corners at (+-2, 0) and (+-1, +-1)).
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap::reference {

struct Pt {
  int64_t x, y;
};
inline Pt centre_of(int64_t x, int64_t y) {
  return {3 * x, 2 * y + (x & 1)};
}
inline int64_t cross_of(Pt o, Pt a, Pt b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}
inline int sign(int64_t v) {
  return (v > 0) - (v < 0);
}

// Whether segment a-b, moved the slightest bit towards `side` (+1 or -1 of cross), crosses the
// side between corners p and q.
inline bool crosses(Pt a, Pt b, int side, Pt p, Pt q) {
  const auto moved = [&](Pt c) { return cross_of(a, b, c) != 0 ? sign(cross_of(a, b, c)) : -side; };
  return moved(p) != moved(q) && sign(cross_of(p, q, a)) * sign(cross_of(p, q, b)) < 0;
}

inline bool literal_sight(const HEXAGON_MAP& map, VECTOR2D from, VECTOR2D to) {
  if (map.INSIDE(from) == 0 || map.INSIDE(to) == 0) return false;
  if (from == to) return true;
  static constexpr std::array<Pt, 6> kCorners{
      {{2, 0}, {1, 1}, {-1, 1}, {-2, 0}, {-1, -1}, {1, -1}}};
  const Pt a = centre_of(from.X, from.Y);
  const Pt b = centre_of(to.X, to.Y);
  for (const int side : {1, -1}) {
    bool blocked = false;
    for (int32_t y = std::min(from.Y, to.Y) - 1; y <= std::max(from.Y, to.Y) + 1; ++y) {
      for (int32_t x = std::min(from.X, to.X) - 1; x <= std::max(from.X, to.X) + 1; ++x) {
        if (map.INSIDE(x, y) == 0) continue;
        const Pt c = centre_of(x, y);
        const VECTOR2D cell(x, y);
        const bool opaque = map.GET_ID(cell).SOLID != 0 && cell != from && cell != to;
        for (int32_t d = 0; d < 6; ++d) {
          const VECTOR2D n(HEXAGON_MAP::ADJACENT_X(x, y, d), HEXAGON_MAP::ADJACENT_Y(x, y, d));
          const Pt nc = centre_of(n.X, n.Y);
          const bool wall = ((map.GET_ID_WALL(cell) >> d) & 1) != 0 ||
                            ((map.GET_ID_WALL(n) >> ((d + 3) % 6)) & 1) != 0;
          // The side's corners are the two corners this cell shares with the neighbour.
          std::vector<Pt> ends;
          for (const Pt k : kCorners) {
            const Pt at{c.x + k.x, c.y + k.y};
            for (const Pt m : kCorners)
              if (nc.x + m.x == at.x && nc.y + m.y == at.y) ends.push_back(at);
          }
          if ((wall || opaque) && crosses(a, b, side, ends.at(0), ends.at(1))) blocked = true;
        }
      }
    }
    if (!blocked) return true;
  }
  return false;
}

inline std::vector<VECTOR2D> literal_field(const HEXAGON_MAP& map, VECTOR2D viewer,
                                           int32_t radius) {
  std::vector<VECTOR2D> out;
  for (int32_t y = 0; y < map.MAP_HEIGHT; ++y)
    for (int32_t x = 0; x < map.MAP_WIDTH; ++x)
      if (HEXAGON_MAP::DISTANCE(viewer, VECTOR2D(x, y)) <= radius &&
          literal_sight(map, viewer, VECTOR2D(x, y)))
        out.emplace_back(x, y);
  return out;
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
      c.ID_WALL = (1 << pick(0, 5)) | (pick(0, 3) == 0 ? pick(0, 1 << 20) << 6 : 0);
    if (pick(0, 99) < clutter) c.SOLID = pick(0, 1) == 0 ? -1 : 1;
  }
}

}  // namespace hexmap::reference
