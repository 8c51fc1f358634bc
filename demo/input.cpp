#include "demo/input.hpp"

namespace demo {

bool pressed(const MOUSE_STATE& current, const MOUSE_STATE& previous, int32_t button) {
  return current.CLIP == 0 && (current.BUTTONS & button) != 0 && (previous.BUTTONS & button) == 0;
}

VECTOR2D wall_neighbour(VECTOR2D cell, int32_t side) {
  // Odd columns sit half a row lower, so the side neighbours' rows depend on the parity.
  const int32_t odd = cell.X & 1;
  switch (side) {
    case 0:
      return {cell.X, cell.Y - 1};
    case 3:
      return {cell.X, cell.Y + 1};
    case 4:
      return {cell.X - 1, cell.Y + odd};
    case 5:
      return {cell.X - 1, cell.Y - 1 + odd};
    default:
      return cell;
  }
}

}  // namespace demo
