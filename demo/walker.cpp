#include "demo/walker.hpp"

#include <cmath>

namespace demo {

int32_t interpolate(int32_t delta, int32_t frames, int32_t count) {
  // long double is the 64-bit mantissa on x86-64; double rounds -60 / 50 * 25 to -30, not -31.
  const long double quotient = static_cast<long double>(delta) / frames;
  return static_cast<int32_t>(std::floor(quotient * count));
}

namespace {

void start_step(WALKER& w, int32_t step_frames, WalkerMap& map) {
  w.MOVING = kTrue;
  w.STEP_FRAMES = step_frames;
  w.STEP_COUNT = 0;
  map.plan(w.POSITION, w.TARGET, w.HAS_PATH, w.DIRECTION);
  w.START_ABS = map.cell_centre(w.POSITION);
  w.NEXT_POSITION = w.POSITION;
  hexmap::HEXAGON_MAP::MOVE_FORWARD(w.NEXT_POSITION, w.DIRECTION);
  w.NEXT_ABS = map.cell_centre(w.NEXT_POSITION);
  w.STEP_DELTA = w.NEXT_ABS - w.START_ABS;
}

void continue_step(WALKER& w, WalkerMap& map) {
  ++w.STEP_COUNT;
  w.ABS_POSITION.X = w.START_ABS.X + interpolate(w.STEP_DELTA.X, w.STEP_FRAMES, w.STEP_COUNT);
  w.ABS_POSITION.Y = w.START_ABS.Y + interpolate(w.STEP_DELTA.Y, w.STEP_FRAMES, w.STEP_COUNT);
  if (w.STEP_COUNT < w.STEP_FRAMES) return;
  // The step ends exactly on the cell, whatever the rounding on the way (no path: in place).
  w.STEP_COUNT = 0;
  w.MOVING = kFalse;
  hexmap::HEXAGON_MAP::MOVE_FORWARD(w.POSITION, w.DIRECTION);
  w.ABS_POSITION = map.cell_centre(w.POSITION);
}

}  // namespace

bool update_walker(WALKER& walker, int32_t step_frames, WalkerMap& map) {
  if (walker.POSITION != walker.TARGET || walker.MOVING != 0) {
    walker.IDLE = kFalse;
    if (walker.MOVING == 0) {
      start_step(walker, step_frames, map);
    } else {
      continue_step(walker, map);
    }
    return false;
  }
  walker.IDLE = kTrue;
  return true;
}

void animate_walker(WALKER& w) {
  if (w.HAS_PATH != 0 && w.MOVING != 0) {
    if (++w.ANIM_TICK > kAnimTicks) {
      w.ANIM_TICK = 0;
      if (++w.ANIM_FRAME >= kWalkFrames) w.ANIM_FRAME = 0;
    }
  }
  w.FACING = (~w.HAS_PATH | w.IDLE) != 0 ? kFacingDown : w.DIRECTION;
}

namespace {

bool has_ground(const hexmap::HEXAGON_MAP& map, VECTOR2D cell) {
  return map.INSIDE(cell) != 0 && map.GET_ID_GROUND(cell) != 0;
}

}  // namespace

VECTOR2D random_cell(const hexmap::HEXAGON_MAP& map, const std::function<double()>& unit) {
  VECTOR2D cell;
  do {
    // Grid; the row is drawn first.
    cell.Y = static_cast<int32_t>(std::floor(unit() * kRandomSpan));
    cell.X = static_cast<int32_t>(std::floor(unit() * kRandomSpan));
  } while (!has_ground(map, cell));
  return cell;
}

bool has_random_cell(const hexmap::HEXAGON_MAP& map) {
  for (int32_t y = 0; y < kRandomSpan; ++y) {
    for (int32_t x = 0; x < kRandomSpan; ++x) {
      if (has_ground(map, VECTOR2D(x, y))) return true;
    }
  }
  return false;
}

bool walker_1_drawn_first(const WALKER& walker_1, const WALKER& walker_2) {
  return walker_1.ABS_POSITION.Y < walker_2.ABS_POSITION.Y;
}

}  // namespace demo
