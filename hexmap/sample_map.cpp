// A grid's ground filled without a file: one tile everywhere, or a run of the usable tiles.
#include <string>

#include "hexmap/hexagon_map.hpp"

namespace hexmap {

namespace {

// At most this many adjustments per cell before the run gives up and writes tile 0.
constexpr int kMaxAdjustments = 4;

// Moves the running tile id past tile 0, the two panels and the last tile. Returns the id to
// write, or 0 when the adjustments run out (too few usable tiles).
int32_t next_usable_tile(int64_t id, int32_t tile_count, int32_t flood_panel, int32_t solid_panel) {
  int adjustments = 0;
  bool changed = true;
  while (changed && adjustments < kMaxAdjustments) {
    changed = false;
    const auto adjust = [&](bool fires, int64_t next) {
      if (!fires) return;
      id = next;
      changed = true;
      ++adjustments;
    };
    adjust(id == 0, id + 1);
    adjust(id == flood_panel, id + 1);
    adjust(id == solid_panel, id + 1);
    adjust(id >= int64_t{tile_count} - 1, 0);
  }
  return adjustments > kMaxAdjustments ? 0 : static_cast<int32_t>(id);
}

}  // namespace

void HEXAGON_MAP::MAKE_SAMPLE_MAP(int32_t id) {
  if (id != -1) {
    for (MAP_CELL& cell : CELLS)
      cell.ID_GROUND = id;
    return;
  }
  log_line(":   making sample map with " + std::to_string(TILE_COUNT) + " elements");
  int32_t running = 0;  // carries over from cell to cell and row to row
  for (MAP_CELL& cell : CELLS) {
    running = next_usable_tile(int64_t{running} + 1, TILE_COUNT, FLOOD_PANEL, SOLID_PANEL);
    cell.ID_GROUND = running;
  }
}

}  // namespace hexmap
