#include "demo/input.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

namespace demo {
namespace {

// The buttons of each frame's reading (-1: no valid reading, every field -1), and the frames
// in which the left button counts as pressed.
TEST(MouseInput, APressCountsOnceAgainstTheLastValidReading) {
  MOUSE_STATE current, previous;
  std::string pressed_in;
  for (const int32_t buttons :
       {0, kLeftButton, -1, kLeftButton, -1, 0, -1, kLeftButton | kRightButton}) {
    read_mouse(current, previous, [buttons](int& x, int& y, int& wheel, int& b, int& clip) {
      x = y = wheel = clip = buttons < 0 ? -1 : 0, b = buttons;
    });
    pressed_in += pressed(current, previous, kLeftButton) ? '1' : '0';
  }
  EXPECT_EQ(pressed_in, "01000001");
}

using Walls = std::map<std::pair<int, int>, int>;  // grid cell -> wall bits

// Picks that answer fixed values (grid), and walls kept per cell.
struct FakeMap {
  VECTOR2D hexagon, box;
  int32_t side, ground;
  Walls walls;
  VECTOR2D GET_GRID_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return hexagon; }
  VECTOR2D GET_WALL_GRID_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return box; }
  int32_t GET_WALL_SIDE_POSITION_UNDER_MOUSE(int32_t, int32_t) const { return side; }
  int32_t INSIDE(VECTOR2D p) const { return p.X >= 0 && p.Y >= 0 && p.X < 8 && p.Y < 8 ? -1 : 0; }
  int32_t GET_ID_GROUND(VECTOR2D) const { return ground; }
  void TOGGLE_WALL(VECTOR2D p, int32_t bit) { walls[{p.X, p.Y}] ^= 1 << bit; }
};

// A right press on a hexagon with ground toggles the wall of the box cell and of the cell
// across it (odd columns sit half a row lower); a left press on the map sets the target, ground
// or not. Grid cells.
TEST(MouseActions, PressesToggleWallsOnBothCellsAndSetTargets) {
  constexpr int32_t kR = kRightButton, kL = kLeftButton;
  // (buttons, before, hexagon, box, side, ground, walls, target)
  const std::tuple<int32_t, int32_t, VECTOR2D, VECTOR2D, int32_t, int32_t, Walls, bool> cases[] = {
      {kR, 0, {3, 3}, {5, 5}, 4, 1, {{{5, 5}, 1 << 4}, {{4, 6}, 1 << 1}}, false},
      {kR, 0, {3, 3}, {4, 4}, 0, 1, {{{4, 4}, 1 << 0}, {{4, 3}, 1 << 3}}, false},
      {kR, 0, {3, 3}, {4, 4}, 3, 1, {{{4, 4}, 1 << 3}, {{4, 5}, 1 << 0}}, false},
      {kR, 0, {3, 3}, {4, 4}, 4, 1, {{{4, 4}, 1 << 4}, {{3, 4}, 1 << 1}}, false},
      {kR, 0, {3, 3}, {4, 4}, 5, 1, {{{4, 4}, 1 << 5}, {{3, 3}, 1 << 2}}, false},
      {kR, 0, {3, 3}, {5, 4}, 5, 1, {{{5, 4}, 1 << 5}, {{4, 4}, 1 << 2}}, false},
      {kR, kR, {3, 3}, {4, 4}, 4, 1, {}, false},  // held
      {kR, 0, {3, 3}, {4, 4}, 4, 0, {}, false},   // no ground
      {kR, 0, {3, 3}, {4, 4}, -1, 1, {}, false},  // no side
      {kR, 0, {-1, 3}, {4, 4}, 4, 1, {}, false},  // off the map
      {kL, 0, {3, 3}, {4, 4}, 4, 0, {}, true},    // ground does not matter
      {kL, 0, {3, 8}, {4, 4}, 4, 1, {}, false}};  // off the map
  for (const auto& [buttons, before, hexagon, box, side, ground, walls, target] : cases) {
    FakeMap map{hexagon, box, side, ground, {}};
    const MouseResult r = mouse_actions(map, {5, 6, 0, buttons, 0}, {5, 6, 0, before, 0});
    EXPECT_EQ(map.walls, walls) << box << " side " << side;
    EXPECT_EQ(std::pair(r.wall_toggled, r.target_set), std::pair(!walls.empty(), target));
  }
}

}  // namespace
}  // namespace demo
