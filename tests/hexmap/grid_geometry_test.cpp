#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {
namespace {

using M = HEXAGON_MAP;

// Every direction from an even and an odd column, negative ones included, there and back;
// other directions do nothing and extreme positions wrap.
TEST(GridGeometry, NeighboursFollowTheOddColumnDownLayout) {
  const int even[6][2] = {{0, -1}, {1, -1}, {1, 0}, {0, 1}, {-1, 0}, {-1, -1}};
  const int odd[6][2] = {{0, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  for (const int x : {-2, -1, 10, 11}) {
    const auto& step = x % 2 == 0 ? even : odd;
    for (int d = 0; d < 6; ++d) {
      EXPECT_EQ(M::ADJACENT_X(x, 10, d), x + step[d][0]) << x << " " << d;
      EXPECT_EQ(M::ADJACENT_Y(x, 10, d), 10 + step[d][1]) << x << " " << d;
      VECTOR2D p(x, 10);
      M::MOVE_FORWARD(p, d);
      EXPECT_EQ(p, VECTOR2D(x + step[d][0], 10 + step[d][1]));
      M::MOVE_FORWARD(p.X, p.Y, (d + 3) % 6);
      EXPECT_EQ(p, VECTOR2D(x, 10));
    }
  }
  EXPECT_EQ(M::ADJACENT_X(3, 3, 6) | M::ADJACENT_Y(3, 3, -1), 0);
  VECTOR2D p(3, 3);
  M::MOVE_FORWARD(p, 6);
  M::MOVE_FORWARD(p, -1);
  EXPECT_EQ(p, VECTOR2D(3, 3));
  int32_t x = INT32_MAX;
  int32_t y = INT32_MIN;
  M::MOVE_FORWARD(x, y, 5);  // wraps rather than invoking undefined behaviour
  EXPECT_EQ(x, INT32_MAX - 1);
  EXPECT_EQ(M::DISTANCE(0, 0, 0, 1'000'000'000), 1'000'000'000);
}

// DISTANCE equals the breadth-first step count on an unbounded grid, from every start parity,
// negative columns included, in both directions.
TEST(GridGeometry, DistanceMatchesBreadthFirstSteps) {
  constexpr int kLow = -9;
  constexpr int kSize = 19;
  const auto index = [](int x, int y) { return (y - kLow) * kSize + (x - kLow); };
  for (const auto& [sx, sy] :
       {std::pair{0, 0}, std::pair{-1, 0}, std::pair{1, 1}, std::pair{0, 1}}) {
    std::vector<int> steps(kSize * kSize, -1);
    std::deque<std::pair<int, int>> queue{{sx, sy}};
    steps[index(sx, sy)] = 0;
    while (!queue.empty()) {
      const auto [x, y] = queue.front();
      queue.pop_front();
      for (int d = 0; d < 6; ++d) {
        const int nx = M::ADJACENT_X(x, y, d);
        const int ny = M::ADJACENT_Y(x, y, d);
        const bool inside = nx >= kLow && ny >= kLow && nx < kLow + kSize && ny < kLow + kSize;
        if (!inside || steps[index(nx, ny)] >= 0) continue;
        steps[index(nx, ny)] = steps[index(x, y)] + 1;
        queue.emplace_back(nx, ny);
      }
    }
    // Cells well inside the box, so that no shortest chain is cut by its border.
    for (int y = -4; y <= 5; ++y) {
      for (int x = -4; x <= 5; ++x) {
        EXPECT_EQ(M::DISTANCE(sx, sy, x, y), steps[index(x, y)]) << sx << "," << sy << " " << x;
        EXPECT_EQ(M::DISTANCE(VECTOR2D(x, y), VECTOR2D(sx, sy)), steps[index(x, y)]);
      }
    }
  }
}

}  // namespace
}  // namespace hexmap
