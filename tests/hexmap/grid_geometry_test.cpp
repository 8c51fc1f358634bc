// Neighbour steps of the odd-column-down layout and the step distance.
#include <gtest/gtest.h>

#include <cstdlib>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {
namespace {

using M = HEXAGON_MAP;

// Every direction from an even and an odd column, negative ones included, there and back;
// other directions do nothing.
TEST(GridGeometry, NeighboursFollowTheOddColumnDownLayout) {
  const int even[6][2] = {{0, -1}, {1, -1}, {1, 0}, {0, 1}, {-1, 0}, {-1, -1}};
  const int odd[6][2] = {{0, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  for (const int x : {-2, -1, 10, 11}) {
    const auto& step = x % 2 == 0 ? even : odd;
    for (int d = 0; d < 6; ++d) {
      const VECTOR2D next(x + step[d][0], 10 + step[d][1]);
      VECTOR2D p(x, 10);
      M::MOVE_FORWARD(p, d);
      EXPECT_EQ(VECTOR2D(M::ADJACENT_X(x, 10, d), M::ADJACENT_Y(x, 10, d)), p) << x << " " << d;
      EXPECT_EQ(p, next);
      M::MOVE_FORWARD(p.X, p.Y, (d + 3) % 6);
      EXPECT_EQ(p, VECTOR2D(x, 10));
    }
  }
  EXPECT_EQ(M::ADJACENT_X(3, 3, 6) | M::ADJACENT_Y(3, 3, -1), 0);
  VECTOR2D p(3, 3);
  M::MOVE_FORWARD(p, 6);
  M::MOVE_FORWARD(p, -1);
  EXPECT_EQ(p, VECTOR2D(3, 3));
}

// DISTANCE is the step count exactly when it is 0 only at the start, changes by at most one
// per step, and every other cell has a neighbour one step nearer. Checked from every start
// parity, negative columns included, in both directions.
TEST(GridGeometry, DistanceIsTheStepCount) {
  for (const VECTOR2D s : {VECTOR2D(0, 0), VECTOR2D(-1, 0), VECTOR2D(1, 1), VECTOR2D(0, 1)}) {
    for (int y = -6; y <= 6; ++y) {
      for (int x = -6; x <= 6; ++x) {
        const int32_t here = M::DISTANCE(s, VECTOR2D(x, y));
        EXPECT_EQ(M::DISTANCE(x, y, s.X, s.Y), here);
        EXPECT_EQ(here == 0, s == VECTOR2D(x, y)) << s << " " << x << "," << y;
        bool nearer = here == 0;
        for (int d = 0; d < 6; ++d) {
          const int32_t next =
              M::DISTANCE(s.X, s.Y, M::ADJACENT_X(x, y, d), M::ADJACENT_Y(x, y, d));
          EXPECT_LE(std::abs(next - here), 1) << s << " " << x << "," << y << " " << d;
          nearer = nearer || next == here - 1;
        }
        EXPECT_TRUE(nearer) << s << " " << x << "," << y;
      }
    }
  }
}

}  // namespace
}  // namespace hexmap
