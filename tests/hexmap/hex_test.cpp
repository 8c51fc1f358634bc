// The direction table as its users read it, and the geometry kit against its published checks,
// round trips and the properties of lines, rings and spirals; cells of both signs and parities.
#include "hexmap/hex.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace hexmap {
namespace {

using Cells = std::vector<VECTOR2D>;
constexpr int32_t kFar = kHexExactLimit;

VECTOR2D random_cell(std::mt19937& rng, int32_t reach) {
  std::uniform_int_distribution<int32_t> c(-reach, reach);
  return {c(rng), c(rng)};
}

TEST(Hex, StepsComeBackAndRingOneIsTheNeighboursInOrder) {
  for (const VECTOR2D centre :
       {VECTOR2D(-7, -5), VECTOR2D(-2, 3), VECTOR2D(0, 0), VECTOR2D(9, 4)}) {
    Cells neighbours;
    for (int32_t d = 0; d < kDirectionCount; ++d) {
      VECTOR2D p = centre;
      HEXAGON_MAP::MOVE_FORWARD(p, d);
      neighbours.push_back(p);
      EXPECT_EQ(HEXAGON_MAP::DISTANCE(centre, p), 1) << centre << " d" << d;
      HEXAGON_MAP::MOVE_FORWARD(p, opposite(d));
      EXPECT_EQ(p, centre) << "d" << d;
    }
    EXPECT_EQ(hex_ring(centre, 1), neighbours);
  }
}

TEST(Hex, PublishedChecks) {
  EXPECT_EQ(hex_line({0, 0}, {1, -5}),
            (Cells{{0, 0}, {0, -1}, {0, -2}, {1, -3}, {1, -4}, {1, -5}}));
  EXPECT_EQ(to_cube(hex_rotate(to_cell({1, -3, 2}), {0, 0}, 1)), (Cube{3, -2, -1}));
  EXPECT_EQ(cube_step(direction_index(Direction::up)), (Cube{0, -1, 1}));
}

TEST(Hex, CubeAndRotationRoundTrips) {
  std::mt19937 rng(3);
  for (int i = 0; i < 3000; ++i) {
    const VECTOR2D p = i < 4 ? VECTOR2D(i % 2 ? kFar : -kFar, i / 2 ? kFar : -kFar)
                             : random_cell(rng, i % 2 ? 50 : kFar);
    const Cube c = to_cube(p);
    ASSERT_EQ(int64_t{c.q} + c.r + c.s, 0) << p;
    ASSERT_EQ(to_cell(c), p);
    const VECTOR2D centre = random_cell(rng, kFar / 4), near = random_cell(rng, kFar / 4);
    const int32_t k = std::uniform_int_distribution<int32_t>()(rng);
    EXPECT_EQ(hex_rotate(hex_rotate(near, centre, k), centre, -k), near);
    VECTOR2D turned = near;  // six single turns
    for (int t = 0; t < 6; ++t)
      turned = hex_rotate(turned, centre, 1);
    EXPECT_EQ(turned, near);
    EXPECT_EQ(HEXAGON_MAP::DISTANCE(hex_rotate(near, centre, k), centre),
              HEXAGON_MAP::DISTANCE(near, centre));
  }
}

// Cube rounding in floating point, for short lines where no point falls near a tie.
VECTOR2D float_line_cell(Cube a, Cube b, int32_t n, int32_t i) {
  const double t = static_cast<double>(i) / n;
  const double q = a.q + 1e-6 + (b.q - a.q) * t, r = a.r + 2e-6 + (b.r - a.r) * t;
  const double s = a.s - 3e-6 + (b.s - a.s) * t;
  double rq = std::round(q), rr = std::round(r);
  const double dq = std::abs(rq - q), dr = std::abs(rr - r), ds = std::abs(std::round(s) - s);
  if (dq > dr && dq > ds)
    rq = -rr - std::round(s);
  else if (dr > ds)
    rr = -rq - std::round(s);
  return to_cell({static_cast<int32_t>(rq), static_cast<int32_t>(rr), 0});
}

TEST(Hex, LinesStepFromNeighbourToNeighbour) {
  std::mt19937 rng(5);
  for (int i = 0; i < 400; ++i) {
    VECTOR2D offset = random_cell(rng, kFar - 100);
    offset.X &= ~1;  // an even column shift moves the cube coordinates linearly
    const VECTOR2D from = random_cell(rng, 40), to = random_cell(rng, 40);
    const Cells line = hex_line(from + offset, to + offset);
    const int32_t n = HEXAGON_MAP::DISTANCE(from, to);
    ASSERT_EQ(line.size(), static_cast<size_t>(n) + 1);
    EXPECT_TRUE(line.front() == from + offset && line.back() == to + offset);
    for (int32_t k = 1; k <= n; ++k) {
      ASSERT_EQ(HEXAGON_MAP::DISTANCE(line[k - 1], line[k]), 1) << from << to;
      ASSERT_EQ(line[k] - offset, float_line_cell(to_cube(from), to_cube(to), n, k)) << from << to;
    }
  }
  EXPECT_TRUE(hex_line({-kFar, 0}, {kFar, 0}).empty());  // longer than kMaxHexCells
}

TEST(Hex, RingsAndSpirals) {
  const VECTOR2D centre(-3, 5);
  EXPECT_TRUE(hex_ring(centre, 0) == Cells{centre} && hex_ring(centre, 3)[0] == VECTOR2D(-3, 2));
  Cells spiral{centre};
  for (int32_t k = 1; k <= 6; ++k) {
    const Cells ring = hex_ring(centre, k);
    ASSERT_EQ(ring.size(), 6u * k);
    for (size_t i = 0; i < ring.size(); ++i) {
      EXPECT_EQ(HEXAGON_MAP::DISTANCE(ring[i], centre), k);
      EXPECT_EQ(HEXAGON_MAP::DISTANCE(ring[i], ring[(i + 1) % ring.size()]), 1);
    }
    spiral.insert(spiral.end(), ring.begin(), ring.end());
    EXPECT_EQ(hex_spiral(centre, k), spiral);
  }
  for (const int32_t radius : {-1, -100, 1 << 30, INT32_MAX})
    EXPECT_TRUE(hex_ring(centre, radius).empty() && hex_spiral(centre, radius).empty()) << radius;
}

}  // namespace
}  // namespace hexmap
