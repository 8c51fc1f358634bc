#include "demo/input.hpp"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace demo {
namespace {

TEST(MouseInput, APressCountsOnceAgainstTheLastValidReading) {
  constexpr MOUSE_STATE kNoReading{-1, -1, -1, -1, -1};  // all bits set, but not valid
  // Readings frame by frame, and whether the left button counts as pressed in each.
  const std::vector<std::pair<MOUSE_STATE, bool>> frames = {
      {{10, 10, 0, 0, 0}, false}, {{10, 10, 0, kLeftButton, 0}, true},
      {kNoReading, false},        {{10, 10, 0, kLeftButton, 0}, false},
      {kNoReading, false},        {{10, 10, 0, 0, 0}, false},
      {kNoReading, false},        {{10, 10, 0, kLeftButton | kRightButton, 0}, true},
  };
  MOUSE_STATE current, previous;
  for (size_t i = 0; i < frames.size(); ++i) {
    read_mouse(current, previous, [&](int& x, int& y, int& wheel, int& buttons, int& clip) {
      const MOUSE_STATE& m = frames[i].first;
      x = m.X, y = m.Y, wheel = m.WHEEL, buttons = m.BUTTONS, clip = m.CLIP;
    });
    EXPECT_EQ(pressed(current, previous, kLeftButton), frames[i].second) << "frame " << i;
  }
  EXPECT_TRUE(pressed(current, previous, kRightButton));
}

// Grid: the cell across side d is the neighbour in direction d; odd columns sit lower.
TEST(MouseInput, WallNeighbourOfEverySideTheWallPickGives) {
  const std::tuple<VECTOR2D, int32_t, VECTOR2D> cases[] = {
      {{4, 4}, 0, {4, 3}},   {{5, 4}, 0, {5, 3}},   {{4, 4}, 3, {4, 5}}, {{5, 4}, 3, {5, 5}},
      {{4, 4}, 4, {3, 4}},   {{5, 4}, 4, {4, 5}},   {{4, 4}, 5, {3, 3}}, {{5, 4}, 5, {4, 4}},
      {{0, 0}, 5, {-1, -1}}, {{-1, 0}, 4, {-2, 1}}, {{4, 4}, 1, {4, 4}}, {{4, 4}, -1, {4, 4}}};
  for (const auto& [cell, side, neighbour] : cases)
    EXPECT_EQ(wall_neighbour(cell, side), neighbour) << cell << " side " << side;
}

using Walls = std::map<std::pair<int, int>, int>;  // grid cell -> wall bits

// Picks that answer fixed values (grid), and walls kept per cell.
struct FakeMap {
  VECTOR2D hexagon{3, 3};
  int32_t side = 4;
  int32_t ground = 1;
  Walls walls;

  VECTOR2D GET_GRID_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return hexagon; }
  VECTOR2D GET_WALL_GRID_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return {5, 5}; }
  int32_t GET_WALL_SIDE_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return side; }
  int32_t INSIDE(VECTOR2D p) const { return p.X >= 0 && p.Y >= 0 && p.X < 8 && p.Y < 8 ? -1 : 0; }
  int32_t GET_ID_GROUND(VECTOR2D) const { return ground; }
  void TOGGLE_WALL(VECTOR2D p, int32_t side_bit) { walls[{p.X, p.Y}] ^= 1 << side_bit; }
};

// A right press on a hexagon with ground toggles the wall of the box cell (5, 5) and of the
// cell across it; a left press on the map sets the target, ground or not.
TEST(MouseActions, PressesToggleWallsOnBothCellsAndSetTargets) {
  struct Case {
    int32_t buttons, before, ground, side;
    VECTOR2D hexagon;
    bool toggled, target;
  };
  for (const Case c : {Case{kRightButton, 0, 1, 4, {3, 3}, true, false},
                       Case{kRightButton, kRightButton, 1, 4, {3, 3}, false, false},
                       Case{kRightButton, 0, 0, 4, {3, 3}, false, false},
                       Case{kRightButton, 0, 1, -1, {3, 3}, false, false},
                       Case{kRightButton, 0, 1, 4, {-1, 3}, false, false},
                       Case{kLeftButton, 0, 0, 4, {3, 3}, false, true},
                       Case{kLeftButton, kLeftButton, 1, 4, {3, 3}, false, false},
                       Case{kLeftButton, 0, 1, 4, {3, 8}, false, false}}) {
    FakeMap map{c.hexagon, c.side, c.ground, {}};
    const MouseResult r = mouse_actions(map, {50, 60, 0, c.buttons, 0}, {50, 60, 0, c.before, 0});
    EXPECT_EQ(std::pair(r.wall_toggled, r.target_set), std::pair(c.toggled, c.target))
        << c.buttons << " over " << c.before;
    EXPECT_EQ(map.walls, (c.toggled ? Walls{{{5, 5}, 1 << 4}, {{4, 6}, 1 << 1}} : Walls{}));
  }
}

}  // namespace
}  // namespace demo
