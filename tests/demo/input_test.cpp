#include "demo/input.hpp"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "hexmap/hexagon_map.hpp"

namespace demo {
namespace {

constexpr MOUSE_STATE kNoReading{-1, -1, -1, -1, -1};

TEST(MouseInput, APressCountsOnceAgainstTheLastValidReading) {
  // Readings frame by frame, and whether the left button counts as pressed in each.
  const std::vector<std::pair<MOUSE_STATE, bool>> frames = {
      {{10, 10, 0, 0, 0}, false},
      {{10, 10, 0, kLeftButton, 0}, true},
      {kNoReading, false},                   // all bits set, but not a valid reading
      {{10, 10, 0, kLeftButton, 0}, false},  // still held
      {kNoReading, false},
      {{10, 10, 0, 0, 0}, false},
      {kNoReading, false},
      {{10, 10, 0, kLeftButton | kRightButton, 0}, true},
  };
  MOUSE_STATE current;
  MOUSE_STATE previous;
  for (size_t i = 0; i < frames.size(); ++i) {
    read_mouse(current, previous, [&](int& x, int& y, int& wheel, int& buttons, int& clip) {
      const MOUSE_STATE& m = frames[i].first;
      x = m.X, y = m.Y, wheel = m.WHEEL, buttons = m.BUTTONS, clip = m.CLIP;
    });
    EXPECT_EQ(pressed(current, previous, kLeftButton), frames[i].second) << "frame " << i;
  }
  EXPECT_TRUE(pressed(current, previous, kRightButton));
}

TEST(MouseInput, WallNeighbourTable) {
  struct Case {
    VECTOR2D cell;
    int32_t side;
    VECTOR2D neighbour;
  };
  for (const Case c : {Case{{4, 4}, 0, {4, 3}}, Case{{5, 4}, 0, {5, 3}}, Case{{4, 4}, 3, {4, 5}},
                       Case{{5, 4}, 3, {5, 5}}, Case{{4, 4}, 4, {3, 4}}, Case{{5, 4}, 4, {4, 5}},
                       Case{{4, 4}, 5, {3, 3}}, Case{{5, 4}, 5, {4, 4}}, Case{{0, 0}, 5, {-1, -1}},
                       Case{{-1, 0}, 4, {-2, 1}}}) {
    EXPECT_EQ(wall_neighbour(c.cell, c.side), c.neighbour) << c.cell << " side " << c.side;
    // The cell across side d is the neighbour in direction d.
    VECTOR2D moved = c.cell;
    hexmap::HEXAGON_MAP::MOVE_FORWARD(moved, c.side);
    EXPECT_EQ(moved, c.neighbour);
  }
}

// The picks answer fixed values; walls are kept per cell.
struct FakeMap {
  VECTOR2D hexagon{3, 3};
  VECTOR2D box{3, 3};
  int32_t side = 4;
  int32_t ground = 1;
  std::map<std::pair<int, int>, int> walls;

  VECTOR2D GET_GRID_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return hexagon; }
  VECTOR2D GET_WALL_GRID_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return box; }
  int32_t GET_WALL_SIDE_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return side; }
  int32_t INSIDE(VECTOR2D p) const { return p.X >= 0 && p.Y >= 0 && p.X < 8 && p.Y < 8 ? -1 : 0; }
  int32_t GET_ID_GROUND(VECTOR2D) const { return ground; }
  void TOGGLE_WALL(VECTOR2D p, int32_t side_bit) {
    if (INSIDE(p) != 0) walls[{p.X, p.Y}] ^= 1 << side_bit;
  }
};

TEST(MouseActions, RightClickTogglesTheWallOnBothCells) {
  FakeMap map;
  const MOUSE_STATE up{50, 60, 0, 0, 0};
  const MOUSE_STATE right{50, 60, 0, kRightButton, 0};
  EXPECT_TRUE(mouse_actions(map, right, up).wall_toggled);
  EXPECT_EQ((map.walls[{3, 3}]), 1 << 4);
  EXPECT_EQ((map.walls[{2, 4}]), 1 << 1);
  // Held: nothing more. Pressed again: back to no wall.
  mouse_actions(map, right, right);
  EXPECT_EQ((map.walls[{3, 3}]), 1 << 4);
  mouse_actions(map, right, up);
  EXPECT_EQ((map.walls[{3, 3}]), 0);
  EXPECT_EQ((map.walls[{2, 4}]), 0);

  // No ground under the pointer, or no side: nothing toggles.
  map.ground = 0;
  EXPECT_FALSE(mouse_actions(map, right, up).wall_toggled);
  map.ground = 1;
  map.side = -1;
  EXPECT_FALSE(mouse_actions(map, right, up).wall_toggled);
  EXPECT_EQ((map.walls[{3, 3}]), 0);
}

TEST(MouseActions, LeftClickTargetsAnyCellOnTheMap) {
  FakeMap map;
  const MOUSE_STATE up{50, 60, 0, 0, 0};
  const MOUSE_STATE left{50, 60, 0, kLeftButton, 0};
  map.ground = 0;  // no ground test for targets
  MouseResult r = mouse_actions(map, left, up);
  EXPECT_TRUE(r.target_set);
  EXPECT_EQ(r.mouse_grid, VECTOR2D(3, 3));
  EXPECT_FALSE(mouse_actions(map, left, left).target_set);
  map.hexagon = {-1, -1};  // outside the view window
  EXPECT_FALSE(mouse_actions(map, left, up).target_set);
  EXPECT_FALSE(mouse_actions(map, kNoReading, up).target_set);
}

}  // namespace
}  // namespace demo
