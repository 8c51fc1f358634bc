// The last A* result drawn over the map: start and end markers, a dot on every path cell and an
// arrow towards the next step, all centred on the cells' centres in screen pixels.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "hexmap/draw_support.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "raster/raster.hpp"

namespace hexmap {
namespace {

// 2 pi rounded up in single precision: the arc of a whole circle.
constexpr float kFullTurn = 6.2831859f;
constexpr float kDefaultAspect = 0.0f;
constexpr float kArcStart = 0.0f;

constexpr raster::Color kStartColour = 0x00007F00;  // dark green
constexpr raster::Color kEndColour = 0x007F0000;    // dark red
constexpr raster::Color kVisitColour = 0xFFBF0000;  // red
constexpr raster::Color kShaftColour = 0x00FFFFFF;  // white
// Marker radii are TILE_HEIGHT divided by these.
constexpr double kStartDivisor = 3.0;
constexpr double kEndDivisor = 3.3;
constexpr double kVisitDivisor = 5.5;

constexpr int kSolidLine = 0xFFFF;
constexpr int kSecondPointRelative = 1;

// Arrow of direction d: the shaft runs (x_sign * (BOX_WIDTH / 2), y_sign * (BOX_HEIGHT /
// y_divisor)) screen pixels from the centre; the head's two strokes start at its tip.
struct ArrowShape {
  int32_t x_sign;
  int32_t y_sign;
  int32_t y_divisor;
  std::string_view head;
};
constexpr std::array<ArrowShape, detail::kDirectionCount> kArrows{{
    {0, -1, 2, "ng5nf5"},
    {1, -1, 4, "nm-6,-3nm-1,+7"},
    {1, 1, 4, "nm-1,-7nm-6,+3"},
    {0, 1, 2, "nh5ne5"},
    {-1, 1, 4, "nm+6,+3nm+1,-7"},
    {-1, -1, 4, "nm+1,+7nm+6,-3"},
}};

void marker(float cx, float cy, double radius, raster::Color colour) {
  raster::draw_circle(nullptr, cx, cy, static_cast<float>(radius), colour, kDefaultAspect,
                      kArcStart, kFullTurn, true);
}

void arrow(float cx, float cy, int32_t direction, const HEXAGON_MAP& map) {
  const ArrowShape& shape = kArrows[static_cast<size_t>(direction)];
  const int32_t dx = shape.x_sign * (map.BOX_WIDTH / 2);
  const int32_t dy = shape.y_sign * (map.BOX_HEIGHT / shape.y_divisor);
  raster::draw_line(nullptr, cx, cy, static_cast<float>(dx), static_cast<float>(dy), kShaftColour,
                    kSolidLine, kSecondPointRelative);
  raster::draw_commands(nullptr, shape.head);
}

// Index of the cell at (x, y), or -1 off the map or when the cells disagree with the size.
int64_t index_of(const HEXAGON_MAP& map, int32_t x, int32_t y) {
  if (map.INSIDE(x, y) == 0 || !detail::size_fields_match(map)) return -1;
  return int64_t{y} * map.MAP_WIDTH + x;
}

}  // namespace

void HEXAGON_MAP::ASTAR_DRAWCELL(VECTOR2D cell) {
  if (SCREEN_UNCHECKED == -1) return;
  const int64_t i = index_of(*this, cell.X, cell.Y);
  if (i < 0) {
    log_line(":   A* cell " + to_string(cell) + " is not drawn, it is off the map");
    return;
  }
  const VECTOR2D centre = GET_POSITION_ON_SCREEN_FOR_GRID(cell.X, cell.Y);
  const auto cx = static_cast<float>(centre.X);
  const auto cy = static_cast<float>(centre.Y);
  if (i == ASTAR_START_INDEX) marker(cx, cy, TILE_HEIGHT / kStartDivisor, kStartColour);
  if (i == ASTAR_END_INDEX) marker(cx, cy, TILE_HEIGHT / kEndDivisor, kEndColour);
  const MAP_CELL& c = CELLS[static_cast<size_t>(i)];
  if (c.ASTAR_LIST == ASTAR_NONE) return;
  marker(cx, cy, TILE_HEIGHT / kVisitDivisor, kVisitColour);
  if (detail::is_direction(c.ASTAR_PATH_DIRECTION)) arrow(cx, cy, c.ASTAR_PATH_DIRECTION, *this);
}

void HEXAGON_MAP::ASTAR_DRAWCELL(int32_t x, int32_t y) {
  ASTAR_DRAWCELL(VECTOR2D(x, y));
}

void HEXAGON_MAP::ASTAR_DRAW_PATH() {
  if (SCREEN_UNCHECKED == -1) return;
  const bool start_on_map =
      ASTAR_START_INDEX >= 0 && static_cast<size_t>(ASTAR_START_INDEX) < CELLS.size();
  if (ASTAR_PATH_FOUND != 0 && start_on_map) {
    VECTOR2D p = CELLS[static_cast<size_t>(ASTAR_START_INDEX)].POSITION;
    int32_t d = CELLS[static_cast<size_t>(ASTAR_START_INDEX)].ASTAR_PATH_DIRECTION;
    ASTAR_DRAWCELL(p);
    // A path visits a cell at most once; more steps than cells means the stored directions
    // run in a circle (they are public fields), and the walk stops there.
    for (size_t steps = 0; steps < CELLS.size(); ++steps) {
      MOVE_FORWARD(p, d);
      const int64_t i = index_of(*this, p.X, p.Y);
      if (i < 0) {
        log_line(":   A* path display stopped, the path leaves the map at " + to_string(p));
        break;
      }
      d = CELLS[static_cast<size_t>(i)].ASTAR_PATH_DIRECTION;
      // -1 ends the path; any other value is no step at all and would never move on.
      if (!detail::is_direction(d)) break;
      ASTAR_DRAWCELL(p);
    }
  }
  ASTAR_DRAWCELL(ASTAR_START);
  ASTAR_DRAWCELL(ASTAR_END);
}

}  // namespace hexmap
