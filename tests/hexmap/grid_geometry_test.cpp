#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {
namespace {

using M = HEXAGON_MAP;

TEST(GridGeometry, NeighboursFollowTheOddColumnDownLayout) {
  EXPECT_EQ(M::ADJACENT_X(4, 7, 1), 5);
  EXPECT_EQ(M::ADJACENT_Y(4, 7, 1), 6);
  EXPECT_EQ(M::ADJACENT_Y(5, 7, 1), 7);
  EXPECT_EQ(M::ADJACENT_Y(5, 7, 2), 8);
  EXPECT_EQ(M::ADJACENT_Y(-1, 0, 2), 1);  // column -1 is odd
  // Every direction from an even and an odd column: (dx, dy) per direction.
  const int even[6][2] = {{0, -1}, {1, -1}, {1, 0}, {0, 1}, {-1, 0}, {-1, -1}};
  const int odd[6][2] = {{0, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
  for (int d = 0; d < 6; ++d) {
    EXPECT_EQ(M::ADJACENT_X(10, 10, d), 10 + even[d][0]) << d;
    EXPECT_EQ(M::ADJACENT_Y(10, 10, d), 10 + even[d][1]) << d;
    EXPECT_EQ(M::ADJACENT_X(11, 10, d), 11 + odd[d][0]) << d;
    EXPECT_EQ(M::ADJACENT_Y(11, 10, d), 10 + odd[d][1]) << d;
  }
}

TEST(GridGeometry, InvalidDirectionsGiveZeroOrNoMove) {
  EXPECT_EQ(M::ADJACENT_X(3, 3, 6), 0);
  EXPECT_EQ(M::ADJACENT_Y(3, 3, -1), 0);
  VECTOR2D p(3, 3);
  M::MOVE_FORWARD(p, 6);
  M::MOVE_FORWARD(p, -1);
  EXPECT_EQ(p, VECTOR2D(3, 3));
}

TEST(GridGeometry, EachDirectionAndItsOppositeUndoEachOther) {
  int32_t x = 2;
  int32_t y = 5;
  M::MOVE_FORWARD(x, y, 1);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
  M::MOVE_FORWARD(x, y, 4);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 5);
  for (int32_t column = -3; column <= 3; ++column) {
    for (int d = 0; d < 6; ++d) {
      VECTOR2D p(column, 0);
      M::MOVE_FORWARD(p, d);
      EXPECT_EQ(p, VECTOR2D(M::ADJACENT_X(column, 0, d), M::ADJACENT_Y(column, 0, d)));
      M::MOVE_FORWARD(p, (d + 3) % 6);
      EXPECT_EQ(p, VECTOR2D(column, 0)) << column << " " << d;
    }
  }
}

TEST(GridGeometry, DistanceExamples) {
  EXPECT_EQ(M::DISTANCE(0, 0, 0, 0), 0);
  EXPECT_EQ(M::DISTANCE(0, 0, 4, 1), 4);
  EXPECT_EQ(M::DISTANCE(0, 0, 2, 3), 4);
  EXPECT_EQ(M::DISTANCE(1, 3, 3, 0), 4);
  EXPECT_EQ(M::DISTANCE(0, 0, 3, 2), 4);
  EXPECT_EQ(M::DISTANCE(0, 3, 2, 0), 4);
  EXPECT_EQ(M::DISTANCE(VECTOR2D(1, 3), VECTOR2D(3, 0)), 4);
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
        if (nx < kLow || ny < kLow || nx >= kLow + kSize || ny >= kLow + kSize) continue;
        if (steps[index(nx, ny)] >= 0) continue;
        steps[index(nx, ny)] = steps[index(x, y)] + 1;
        queue.emplace_back(nx, ny);
      }
    }
    // Cells well inside the box, so that no shortest chain is cut by its border.
    for (int y = -4; y <= 5; ++y) {
      for (int x = -4; x <= 5; ++x) {
        EXPECT_EQ(M::DISTANCE(sx, sy, x, y), steps[index(x, y)])
            << sx << "," << sy << " " << x << "," << y;
        EXPECT_EQ(M::DISTANCE(x, y, sx, sy), steps[index(x, y)])
            << x << "," << y << " " << sx << "," << sy;
      }
    }
  }
}

TEST(GridGeometry, ExtremeCoordinatesDoNotOverflow) {
  EXPECT_EQ(M::DISTANCE(INT32_MIN, 0, INT32_MIN, 0), 0);
  EXPECT_GT(M::DISTANCE(0, 0, 0, 1'000'000'000), 0);
  int32_t x = INT32_MAX;
  int32_t y = INT32_MIN;
  M::MOVE_FORWARD(x, y, 5);  // wraps rather than invoking undefined behaviour
  EXPECT_EQ(x, INT32_MAX - 1);
}

}  // namespace
}  // namespace hexmap
