// The tile sheet: shaded ground, water, a tree, the flood panel and six wall panels.
#include <algorithm>
#include <array>
#include <cmath>

#include "demo/assets/assets.hpp"

namespace assets {

namespace {

constexpr double kSqrt5 = 2.2360679775;
constexpr double kMid = kBoxHeight / 2.0;
// Depth of the ground's side below the hexagon, and how far water lies below the ground.
constexpr int kThickness = kTileHeight - kBoxHeight;
constexpr int kWaterDrop = 5;
constexpr double kWallHalf = 5.5;  // half a wall's width; the neighbour draws the other half

// Distances (tile pixels) of the point (u, v) inside the six sides, in side order 0..5;
// negative outside that side.
std::array<double, 6> side_distances(double u, double v) {
  return {v,
          (56 - 2 * u + v) / kSqrt5,
          (88 - 2 * u - v) / kSqrt5,
          kBoxHeight - v,
          (2 * u - v + 16) / kSqrt5,
          (2 * u + v - 16) / kSqrt5};
}

// Pixel (x, y) of a tile against the hexagon; a hair of tolerance so neighbours leave no gap.
bool in_hexagon(double x, double y) {
  const auto d = side_distances(x + 0.5, y + 0.5);
  return *std::min_element(d.begin(), d.end()) >= -0.25;
}

double edge_distance(int x, int y) {
  const auto d = side_distances(x + 0.5, y + 0.5);
  return *std::min_element(d.begin(), d.end());
}

// Light comes from the upper left: sides 5, 0 and 1 catch it, 2, 3 and 4 are in shade.
double bevel(int x, int y) {
  const auto d = side_distances(x + 0.5, y + 0.5);
  const double lit = std::min({d[5], d[0], d[1]});
  const double dark = std::min({d[2], d[3], d[4]});
  double f = 1.0;
  if (lit < 2.0) f += 0.12 * (2.0 - lit) / 2.0;
  if (dark < 2.5) f -= 0.18 * (2.5 - dark) / 2.5;
  if (std::min(lit, dark) < 0.8) f -= 0.12;  // a faint seam so cells read as cells
  return f;
}

struct Ground {
  Color base;
  Color alt;       // speckles
  double grain;    // strength of the per-pixel noise
  double speckle;  // share of pixels in the alternate colour
  Color side;      // the visible thickness under the hexagon
  Color lip;       // its top rows (grass overhang)
};

Ground ground_of(int id) {
  constexpr Color kEarth = 0x7A5A3A;
  switch (id) {
    case kGrass:
      return {0x62A844, 0x7CC257, 0.10, 0.10, kEarth, 0x4F8E36};
    case kMeadow:
      return {0x4E9338, 0x3C7A2C, 0.10, 0.14, kEarth, 0x437F30};
    case kFlowers:
      return {0x5EA546, 0x7CC257, 0.10, 0.08, kEarth, 0x4F8E36};
    case kSand:
      return {0xDCC787, 0xC7AE6C, 0.05, 0.10, 0x9C7A4C, 0xC7AE6C};
    case kDunes:
      return {0xE2CD8E, 0xC9AF6E, 0.04, 0.04, 0x9C7A4C, 0xC9AF6E};
    case kCobbles:
      return {0x9C9A94, 0x7E7C77, 0.06, 0.0, 0x6E6A64, 0x7E7C77};
    case kDirt:
      return {0x94704A, 0x7B5B3A, 0.08, 0.12, 0x6A4A2E, 0x7B5B3A};
    default:  // moss
      return {0x8FA04C, 0xA8B862, 0.09, 0.12, kEarth, 0x7C8C40};
  }
}

// Cobblestones: cells of a jittered grid, with dark gaps where two cells meet.
Color cobble(int x, int y, Color base) {
  constexpr double kCell = 7.0;
  const double u = x + 0.5;
  const double v = y + 0.5;
  double best = 1e9;
  double second = 1e9;
  int best_id = 0;
  const int cx = static_cast<int>(u / kCell);
  const int cy = static_cast<int>(v / kCell);
  for (int j = cy - 1; j <= cy + 1; ++j) {
    for (int i = cx - 1; i <= cx + 1; ++i) {
      const double px = (i + 0.2 + 0.6 * noise(i, j, 11)) * kCell;
      const double py = (j + 0.2 + 0.6 * noise(i, j, 12)) * kCell;
      const double d = std::hypot(u - px, v - py);
      if (d < best) {
        second = best;
        best = d;
        best_id = i * 31 + j;
      } else if (d < second) {
        second = d;
      }
    }
  }
  if (second - best < 1.1) return shade(base, 0.55);
  const double lit = 1.0 + 0.12 * (noise(best_id, 0, 13) - 0.5) - 0.03 * best;
  return shade(base, lit + 0.08);
}

void ground_tile(Canvas& c, int ox, int oy, int id) {
  const Ground g = ground_of(id);
  c.paint(ox, oy, ox + kTileWidth - 1, oy + kTileHeight - 1, [&](int x, int y, Color& out) {
    if (in_hexagon(x, y)) {
      Color p = g.base;
      if (id == kCobbles) {
        p = cobble(x, y, g.base);
      } else {
        if (noise(x, y, id * 7 + 1) < g.speckle) p = g.alt;
        if (id == kDunes && std::sin(x * 0.55 + y * 1.3 + std::sin(x * 0.3) * 2) > 0.82) {
          p = g.alt;
        }
        // Grass blades: short vertical strokes a shade lighter.
        if ((id == kGrass || id == kMeadow || id == kFlowers) && noise(x, y / 2, id) < 0.07) {
          p = shade(g.base, 1.22);
        }
      }
      p = shade(p, 1.0 + g.grain * (noise(x, y, id * 7 + 2) - 0.5) * 2);
      out = shade(p, bevel(x, y));
      return true;
    }
    // The ground's side: up to kThickness rows under the lower sides.
    for (int k = 1; k <= kThickness; ++k) {
      if (y - k < kMid || !in_hexagon(x, y - k)) continue;
      const double facet = x < 8 ? 0.95 : (x >= 28 ? 0.62 : 0.78);
      const Color side = k <= 2 ? g.lip : g.side;
      out = shade(side, facet * (1.0 - 0.04 * k) * (1.0 + 0.1 * (noise(x, y, 5) - 0.5)));
      return true;
    }
    out = kMagenta;
    return true;
  });
  if (id == kFlowers) {
    constexpr std::array<Color, 3> kPetals = {0xFFF4F0, 0xFFD94A, 0xF08AC0};
    for (int n = 0; n < 7; ++n) {
      const int fx = 6 + static_cast<int>(noise(n, 1, 21) * 24);
      const int fy = 5 + static_cast<int>(noise(n, 2, 21) * 22);
      if (!in_hexagon(fx - 1, fy - 1) || !in_hexagon(fx + 1, fy + 1)) continue;
      const Color petal = kPetals[n % kPetals.size()];
      c.set(ox + fx - 1, oy + fy, petal);
      c.set(ox + fx + 1, oy + fy, petal);
      c.set(ox + fx, oy + fy - 1, petal);
      c.set(ox + fx, oy + fy + 1, petal);
      c.set(ox + fx, oy + fy, 0xE8A020);
    }
  }
  if (id == kDirt || id == kSand) {
    for (int n = 0; n < 4; ++n) {
      const double px = 7 + noise(n, 3, id) * 22;
      const double py = 6 + noise(n, 4, id) * 20;
      if (!in_hexagon(px, py)) continue;
      c.fill_ellipse(ox + px, oy + py, 1.6, 1.1, shade(g.base, 0.72));
      c.set(ox + static_cast<int>(px) - 1, oy + static_cast<int>(py) - 1, shade(g.base, 1.15));
    }
  }
}

// Water lies kWaterDrop rows below the ground: its upper rim is left see-through, so the sides
// of the cells above show as banks. Below the hexagon it fills where the next water cell's rim
// would leave a gap.
void water_tile(Canvas& c, int ox, int oy) {
  c.paint(ox, oy, ox + kTileWidth - 1, oy + kTileHeight - 1, [&](int x, int y, Color& out) {
    const bool surface = in_hexagon(x, y) && in_hexagon(x, y - kWaterDrop);
    bool below = false;
    for (int k = 1; k <= kThickness && !below; ++k)
      below = y - k >= kMid && !in_hexagon(x, y) && in_hexagon(x, y - k);
    if (!surface && !below) {
      out = kMagenta;
      return true;
    }
    const double wave = std::sin((x + oy) * 0.7 + y * 1.9) + std::sin(x * 0.31 - y * 0.8);
    Color p = mix(0x2A64A8, 0x3C86C8, 0.5 + 0.25 * wave);
    if (wave > 1.55) p = 0xA8D8F0;  // glints
    if (surface && edge_distance(x, y - kWaterDrop) < 1.5) p = shade(p, 0.8);
    out = p;
    return true;
  });
}

void tree_tile(Canvas& c, int ox, int oy) {
  Canvas t(kTileWidth, kTileHeight, kMagenta);
  t.fill_ellipse(18, 26, 10, 3.5, 0x2F5526);  // shade on the grass
  t.fill_rect(16, 15, 19, 26, 0x6B4426);
  t.fill_rect(16, 15, 16, 26, 0x8A5C34);
  constexpr std::array<std::array<double, 4>, 5> kLeaves = {{
      {18, 11, 10, 7.5},
      {12, 14, 6, 5},
      {24, 14, 6, 5},
      {15, 7, 6, 5},
      {21, 7, 6, 5},
  }};
  for (const auto& [x, y, rx, ry] : kLeaves)
    t.fill_ellipse(x, y, rx, ry, 0x2E7A2E);
  // Leaves lit from the upper left.
  t.paint(0, 0, kTileWidth - 1, 22, [&](int x, int y, Color& out) {
    if (out != 0x2E7A2E) return false;
    const double light = (18 - x) * 0.02 + (12 - y) * 0.035;
    out = shade(mix(0x2E7A2E, 0x5BB04A, std::clamp(0.35 + light, 0.0, 1.0)),
                0.9 + 0.25 * noise(x / 2, y / 2, 31));
    return true;
  });
  t.outline(0, 0, kTileWidth - 1, 22, 0x1C3A1A);
  c.put(t, ox, oy);
}

void flood_tile(Canvas& c, int ox, int oy) {
  c.paint(ox, oy, ox + kTileWidth - 1, oy + kTileHeight - 1, [&](int x, int y, Color& out) {
    if (!in_hexagon(x, y)) {
      out = kMagenta;
      return true;
    }
    out = (x + y) % 6 < 2 ? 0xB8ECFF : 0x68C8F0;
    if (edge_distance(x, y) < 1.5) out = 0xFFFFFF;
    return true;
  });
}

// Half of a stone wall along one side, inside the hexagon; the cell across the side draws the
// other half, so the wall sits centred on the side.
void wall_tile(Canvas& c, int ox, int oy, int side) {
  c.paint(ox, oy, ox + kTileWidth - 1, oy + kTileHeight - 1, [&](int x, int y, Color& out) {
    const double u = x + 0.5;
    const double v = y + 0.5;
    const auto d = side_distances(u, v);
    if (!in_hexagon(x, y) || d[side] > kWallHalf) {
      out = kMagenta;
      return true;
    }
    // Position along the side, for the mortar joints between the stones.
    constexpr std::array<std::array<double, 2>, 6> kAlong = {{{1, 0},
                                                              {1 / kSqrt5, 2 / kSqrt5},
                                                              {-1 / kSqrt5, 2 / kSqrt5},
                                                              {1, 0},
                                                              {1 / kSqrt5, 2 / kSqrt5},
                                                              {1 / kSqrt5, -2 / kSqrt5}}};
    const double along = u * kAlong[side][0] + v * kAlong[side][1];
    const double course = d[side] < kWallHalf / 2 ? 0.0 : 2.5;
    const bool joint = std::fmod(along * 1.0 + course + 40, 5.0) < 0.9;
    Color p = joint ? 0x4A443E : mix(0x8E8678, 0xB8AE9C, noise(x, y, 41));
    if (d[side] > kWallHalf - 1.2) {
      p = 0x2A241E;  // inner edge
    } else if (d[side] > kWallHalf - 2.4) {
      p = shade(p, 1.25);  // the lit top of the wall
    } else if (d[side] < 0.8) {
      p = shade(p, 0.8);  // where the two halves meet
    }
    out = p;
    return true;
  });
}

}  // namespace

void draw_tile(Canvas& canvas, int x, int y, int id) {
  Canvas tile(kTileWidth, kTileHeight, kMagenta);
  if (id == kWater) {
    water_tile(tile, 0, 0);
  } else if (id == kTree) {
    tree_tile(tile, 0, 0);
  } else if (id == kFlood) {
    flood_tile(tile, 0, 0);
  } else if (id >= kWallTop && id < kTileCount) {
    wall_tile(tile, 0, 0, id - kWallTop);
  } else if (id > kWater && id < kTree) {
    ground_tile(tile, 0, 0, id);
  }
  canvas.put(tile, x, y);
}

Canvas tile_sheet() {
  constexpr int kRows = (kTileCount + kSheetColumns - 1) / kSheetColumns;
  Canvas sheet(kSheetColumns * kTileWidth, kRows * kTileHeight, kMagenta);
  for (int id = 0; id < kTileCount; ++id) {
    draw_tile(sheet, (id % kSheetColumns) * kTileWidth, (id / kSheetColumns) * kTileHeight, id);
  }
  return sheet;
}

}  // namespace assets
