// The flood map drawn over the map: the flood panel blended on every reached cell with an
// opacity that pulses from one drawing call to the next.
#include <cstddef>
#include <cstdint>

#include "hexmap/draw_support.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/pixel_geometry.hpp"
#include "raster/raster.hpp"

namespace hexmap {
namespace {

// The pulse is one for the whole program, not one per map: every map's drawing call advances
// it. This is the engine's only state outside a map object.
struct FloodPulse {
  int32_t alpha = 0;   // opacity of the next blend, 0..255
  int32_t rising = 1;  // 1 while the opacity rises, 0 while it falls
};
FloodPulse flood_pulse;

constexpr int32_t kPulseRiseStep = 5;
constexpr int32_t kPulseFallStep = 7;
constexpr int32_t kPulseHighest = 200;
constexpr int32_t kPulseLowest = 100;

void advance(FloodPulse& pulse) {
  if (pulse.rising == 1) {
    pulse.alpha += kPulseRiseStep;
    if (pulse.alpha >= kPulseHighest) {
      pulse.alpha = kPulseHighest;
      pulse.rising = 0;
    }
  } else {
    pulse.alpha -= kPulseFallStep;
    if (pulse.alpha <= kPulseLowest) {
      pulse.alpha = kPulseLowest;
      pulse.rising = 1;
    }
  }
}

}  // namespace

void HEXAGON_MAP::FLOODMAP_DRAW_PATH() {
  if (SCREEN_UNCHECKED == -1) return;
  advance(flood_pulse);
  const raster::Image* panel = detail::tile_image(*this, FLOOD_PANEL);
  if (panel == nullptr) {
    log_line(":   FLOOD display skipped, the flood panel is no loaded tile");
    return;
  }
  if (!detail::size_fields_match(*this)) {
    log_line(":   FLOOD display refused, the map size fields do not match the cells");
    return;
  }
  const detail::CellSteps steps = detail::cell_steps(*this);
  const MAP_CELL* cell = CELLS.data();
  for (int32_t y = 0; y < MAP_HEIGHT; ++y) {
    for (int32_t x = 0; x < MAP_WIDTH; ++x, ++cell) {
      if (cell->FLOOD <= 0) continue;
      // The tile's top-left corner in screen pixels.
      const VECTOR2D corner = detail::wrap_sub(detail::tile_origin(steps, x, y), CAMERA);
      raster::put_image(nullptr, static_cast<float>(corner.X), static_cast<float>(corner.Y), panel,
                        raster::put_alpha_blend, flood_pulse.alpha);
    }
  }
}

}  // namespace hexmap
