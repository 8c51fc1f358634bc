// The direction table as every user of it reads it: the public steps, the searches' index steps
// and their 32-bit distance, over every direction, both column parities and negative cells.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <utility>

#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"

namespace hexmap {
namespace {

constexpr int32_t kColumns[] = {-7, -2, 0, 1, 4, 9};  // both parities, both signs
constexpr int32_t kRows[] = {-5, 0, 3};
constexpr int32_t kWidth = 40;  // of the grid the index steps are checked on

TEST(Directions, StepThenOppositeStepComesBackFromOneStepAway) {
  for (const int32_t x : kColumns) {
    for (const int32_t y : kRows) {
      std::set<std::pair<int32_t, int32_t>> neighbours;
      for (int32_t d = 0; d < kDirectionCount; ++d) {
        VECTOR2D p(x, y);
        HEXAGON_MAP::MOVE_FORWARD(p, d);
        EXPECT_EQ(p, VECTOR2D(HEXAGON_MAP::ADJACENT_X(x, y, d), HEXAGON_MAP::ADJACENT_Y(x, y, d)));
        EXPECT_EQ(HEXAGON_MAP::DISTANCE(VECTOR2D(x, y), p), 1) << x << "," << y << " d" << d;
        neighbours.emplace(p.X, p.Y);
        // On a row-major grid the searches' index step lands on the same cell.
        EXPECT_EQ(detail::index_step(d, kWidth, kWidth & -(x & 1)), (p.Y - y) * kWidth + p.X - x);
        HEXAGON_MAP::MOVE_FORWARD(p, opposite(d));
        EXPECT_EQ(p, VECTOR2D(x, y)) << "d" << d;
      }
      EXPECT_EQ(neighbours.size(), 6u);
    }
  }
}

// The bucketed search's 32-bit distance against the 64-bit one, within the reach it is used in.
TEST(Directions, DistanceIn32BitsMatches) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> coordinate(-(1 << 26), 1 << 26);
  std::uniform_int_distribution<int32_t> near(-4, 4);
  for (int i = 0; i < 20000; ++i) {
    const int32_t x = coordinate(rng);
    const int32_t y = coordinate(rng);
    const int32_t x2 = i % 2 == 0 ? coordinate(rng) : x + near(rng);
    const int32_t y2 = i % 2 == 0 ? coordinate(rng) : y + near(rng);
    ASSERT_EQ(detail::grid_distance<int32_t>(x, y, x2, y2), HEXAGON_MAP::DISTANCE(x, y, x2, y2))
        << x << "," << y << " " << x2 << "," << y2;
  }
}

}  // namespace
}  // namespace hexmap
