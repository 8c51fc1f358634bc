// The demo's walkers: one-cell steps along A* paths, interpolated frame by frame, with a walk
// animation and a facing. Nothing here touches the screen, so it runs without a window.
#pragma once

#include <cstdint>
#include <functional>

#include "hexmap/hexagon_map.hpp"

namespace demo {

using hexmap::VECTOR2D;

inline constexpr int32_t kTrue = -1;
inline constexpr int32_t kFalse = 0;

// Frames of motion per cell step.
inline constexpr int32_t kWalker1StepFrames = 40;
inline constexpr int32_t kWalker2StepFrames = 50;
// Iterations each search may spend; enough for any map the demo can hold on screen.
inline constexpr int32_t kSearchLimit = 65535;
// The walk frame changes after this many frames of a real step (the tick runs 0..kAnimTicks).
inline constexpr int32_t kAnimTicks = 10;
inline constexpr int32_t kWalkFrames = 2;
// Facing while standing or without a path: down, toward the viewer.
inline constexpr int32_t kFacingDown = 3;
// Random targets lie in the map's top-left kRandomSpan x kRandomSpan cells (grid).
inline constexpr int32_t kRandomSpan = 11;
// WALKER_1 starts here (grid); the map file is expected to give it ground.
inline constexpr VECTOR2D kWalker1Start{0, 1};

struct WALKER {
  VECTOR2D POSITION;       // grid: the cell stood on; during a step, the cell left
  VECTOR2D ABS_POSITION;   // map pixels: the sprite's and shadow's anchor
  VECTOR2D TARGET;         // grid
  VECTOR2D NEXT_POSITION;  // grid: the cell the current step enters
  VECTOR2D NEXT_ABS;       // map pixels of NEXT_POSITION
  VECTOR2D START_ABS;      // map pixels of POSITION when the step began
  VECTOR2D STEP_DELTA;     // NEXT_ABS - START_ABS (map pixels)
  int32_t FACING = 0;      // sprite column 0..5
  int32_t ANIM_TICK = 0;   // 0..kAnimTicks
  int32_t ANIM_FRAME = 0;  // 0 or 1
  int32_t MOVING = 0;
  int32_t STEP_FRAMES = 0;
  int32_t STEP_COUNT = 0;
  int32_t IDLE = 0;
  int32_t DIRECTION = 0;  // of the step under way; -1 when there was no path
  int32_t HAS_PATH = 0;
};

// What a walker asks of the map: a search and the projection of cells to map pixels.
class WalkerMap {
 public:
  virtual ~WalkerMap() = default;
  // Searches from `from` to `to`; found is -1 or 0, direction the first step or -1.
  virtual void plan(VECTOR2D from, VECTOR2D to, int32_t& found, int32_t& direction) = 0;
  // Centre of a cell in map pixels.
  virtual VECTOR2D cell_centre(VECTOR2D cell) const = 0;
};

// The walker interpolation: floor(delta / frames * count), quotient first, with a 64-bit
// mantissa, so a negative delta can stand one pixel further along than the exact fraction.
int32_t interpolate(int32_t delta, int32_t frames, int32_t count);

// One frame of a walker. Returns true when it stood on its target without stepping (IDLE);
// the caller then gives WALKER_2 a new target.
bool update_walker(WALKER& walker, int32_t step_frames, WalkerMap& map);
// Walk frame and facing, after both walkers' updates.
void animate_walker(WALKER& walker);

// A random cell of the top-left kRandomSpan x kRandomSpan cells that has ground. `unit` gives
// uniform values in [0, 1). Only call it when has_random_cell() holds, or it never returns.
VECTOR2D random_cell(const hexmap::HEXAGON_MAP& map, const std::function<double()>& unit);
bool has_random_cell(const hexmap::HEXAGON_MAP& map);

// Draw order of the sprites: the walker further down the screen goes last; on equal Y,
// WALKER_1 goes last.
bool walker_1_drawn_first(const WALKER& walker_1, const WALKER& walker_2);

}  // namespace demo
