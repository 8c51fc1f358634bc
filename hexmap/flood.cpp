// Flood map: every cell within a number of walkable steps of an origin, breadth-first from a
// preallocated queue. The queue doubles as the list of cells to clear before the next flood.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "hexmap/entry_rule.hpp"
#include "hexmap/grid_geometry.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_buffers.hpp"
#include "hexmap/touched_cells.hpp"

namespace hexmap {
namespace {

using detail::SearchScratch;

// The origin holds steps + 1, so steps stops one short of the int range. Beyond the cell count
// no further cell can be reached, so this only shifts the values of a flood that large.
constexpr int32_t kMaxSteps = std::numeric_limits<int32_t>::max() - 1;
constexpr std::string_view kSizeMismatch =
    ":   FLOOD refused, the map size fields do not match the cells";

void clear_flood(HEXAGON_MAP& map, SearchScratch& s) {
  MAP_CELL* const cells = map.CELLS.data();
  for (size_t i = 0; i < s.flood_size; ++i) {
    cells[s.flood_queue[i] & ~SearchScratch::kFloodNoExpand].FLOOD = 0;
  }
  s.flood_size = 0;
  for (const int32_t i : s.flood_touched) {
    cells[i].FLOOD = 0;
    s.marks[static_cast<size_t>(i)] &= static_cast<uint8_t>(~SearchScratch::kFloodTouched);
  }
  s.flood_touched.clear();
}

// Grid window of the cells the flood spreads from (inclusive).
struct Window {
  int32_t x0, y0, x1, y1;
  bool contains(int32_t x, int32_t y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

}  // namespace

void HEXAGON_MAP::FLOODMAP_COMPUTE(int32_t x, int32_t y, int32_t steps) {
  SearchScratch& s = *scratch_;
  if (!detail::grid_matches(*this, s)) {
    log_line(kSizeMismatch);
    return;
  }
  clear_flood(*this, s);
  if (steps < 0 || INSIDE(x, y) == 0) return;
  steps = std::min(steps, kMaxSteps);

  MAP_CELL* const cells = CELLS.data();
  const int32_t width = MAP_WIDTH;
  const auto uwidth = static_cast<uint32_t>(width);
  const auto uheight = static_cast<uint32_t>(MAP_HEIGHT);
  // Cells are expanded only inside this window, as the level-by-level passes do; it matters
  // only for cells whose POSITION was overwritten and so step from elsewhere.
  const Window window{
      static_cast<int32_t>(std::max<int64_t>(0, int64_t{x} - steps)),
      static_cast<int32_t>(std::max<int64_t>(0, int64_t{y} - steps)),
      static_cast<int32_t>(std::min<int64_t>(width - 1, int64_t{x} + steps)),
      static_cast<int32_t>(std::min<int64_t>(MAP_HEIGHT - 1, int64_t{y} + steps)),
  };

  uint32_t* const queue = s.flood_queue.data();
  size_t size = 0;
  const int32_t origin = y * width + x;
  cells[origin].FLOOD = steps + 1;
  queue[size++] = static_cast<uint32_t>(origin);

  // Every FLOOD is 0 after the clear, and breadth-first order keeps only the current level and
  // the next in the queue, so "FLOOD < v" is "FLOOD == 0" here.
  for (size_t head = 0; head < size; ++head) {
    const uint32_t entry = queue[head];
    if ((entry & SearchScratch::kFloodNoExpand) != 0) continue;
    const MAP_CELL& from = cells[entry];
    const int32_t v = from.FLOOD;
    if (v <= 1) break;  // level 1 writes 0 over 0; every later entry is level 1 too
    const int32_t next = v - 1;
    const int32_t px = from.POSITION.X;
    const int32_t py = from.POSITION.Y;

    // Called with constant directions, so the neighbour arithmetic folds away.
    const auto spread = [&](int32_t d) {
      const int32_t nx = detail::adjacent_x(px, d);
      const int32_t ny = detail::adjacent_y(px, py, d);
      if (static_cast<uint32_t>(nx) >= uwidth || static_cast<uint32_t>(ny) >= uheight) return;
      const int32_t n = ny * width + nx;
      MAP_CELL& to = cells[n];
      if (to.FLOOD != 0 || !detail::can_enter<detail::SolidStops::any_nonzero>(to, d)) return;
      to.FLOOD = next;
      queue[size++] =
          static_cast<uint32_t>(n) | (window.contains(nx, ny) ? 0u : SearchScratch::kFloodNoExpand);
    };
    detail::for_each_direction(spread);
  }
  s.flood_size = size;
}

void HEXAGON_MAP::FLOODMAP_COMPUTE(VECTOR2D origin, int32_t steps) {
  FLOODMAP_COMPUTE(origin.X, origin.Y, steps);
}

void HEXAGON_MAP::FLOODMAP_CHECK_NEIGHBOR(int32_t index, int32_t direction, int32_t value) {
  SearchScratch& s = *scratch_;
  if (!detail::grid_matches(*this, s)) {
    log_line(kSizeMismatch);
    return;
  }
  if (index < 0 || index >= CELL_COUNT) {
    log_line(":   FLOOD step refused, cell " + std::to_string(index) + " is off the map");
    return;
  }
  if (!detail::is_direction(direction)) {
    log_line(":   FLOOD step refused, direction " + std::to_string(direction));
    return;
  }
  const VECTOR2D p = CELLS[static_cast<size_t>(index)].POSITION;
  const int32_t nx = detail::adjacent_x(p.X, direction);
  const int32_t ny = detail::adjacent_y(p.X, p.Y, direction);
  if (INSIDE(nx, ny) == 0) return;
  const int32_t n = ny * MAP_WIDTH + nx;
  MAP_CELL& to = CELLS[static_cast<size_t>(n)];
  if (!detail::can_enter<detail::SolidStops::any_nonzero>(to, direction)) return;
  if (to.FLOOD < value) {
    to.FLOOD = value - 1;  // no overflow: value is above some int
    detail::mark_flood_touched(s, n);
  }
}

}  // namespace hexmap
