// Putting an assembled sheet together: tiles cut from their tileset images, and the panels a
// map drawn in Tiled does not bring (solid marker, flood tint, six wall bars).
#include "tools/tile_panels.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace hexmap::tool {
namespace {

constexpr uint32_t kSeeThrough = 0x00000000;  // alpha 0: the BMP writer makes it magenta
constexpr uint32_t kSolidMarker = 0xFF8C1C1C;
constexpr uint32_t kFloodTint = 0xFF3C8CDC;
constexpr uint32_t kWallBar = 0xFF4A3A28;

struct Point {
  double x, y;
};

// The hexagon's corners in tile pixels, from the top side's left end clockwise; wall side d
// runs from corner d to corner d + 1 (up, up-right, down-right, down, down-left, up-left).
std::array<Point, 6> corners(const HexShape& h) {
  const double inset = (h.width - h.side) / 2.0;
  const double w = h.width, ht = h.height;
  return {{{inset, 0},
           {inset + h.side, 0},
           {w, ht / 2},
           {inset + h.side, ht},
           {inset, ht},
           {0, ht / 2}}};
}

// Signed distance of p to the line a-b, positive inside the clockwise hexagon.
double inside_distance(Point a, Point b, Point p) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  return length == 0 ? 0 : ((p.y - a.y) * dx - (p.x - a.x) * dy) / length;
}

// Paints the tile's pixels where `colour_at` gives a colour; tile pixels, centres sampled.
template <typename ColourAt>
void paint(Picture& sheet, int32_t tile, int32_t columns, int32_t tw, int32_t th,
           ColourAt colour_at) {
  const int32_t left = tile % columns * tw, top = tile / columns * th;
  for (int32_t y = 0; y < th; ++y)
    for (int32_t x = 0; x < tw; ++x)
      if (const std::optional<uint32_t> c = colour_at(Point{x + 0.5, y + 0.5}))
        sheet.pixels[static_cast<size_t>(top + y) * static_cast<size_t>(sheet.width) +
                     static_cast<size_t>(left + x)] = *c;
}

void draw_panels(const SheetPlan& plan, int32_t columns, Picture& sheet) {
  const std::array<Point, 6> c = corners(plan.hexagon);
  const auto inside = [&c](Point p) {
    for (size_t d = 0; d < 6; ++d)
      if (inside_distance(c[d], c[(d + 1) % 6], p) < 0) return false;
    return true;
  };
  const Point centre{plan.hexagon.width / 2.0, plan.hexagon.height / 2.0};
  const double radius = std::min(plan.hexagon.width, plan.hexagon.height) / 4.0;
  const double bar = std::max(2.0, plan.hexagon.height / 8.0);
  const int32_t tw = plan.tile_width, th = plan.tile_height;
  if (plan.solid_panel >= 0)
    paint(sheet, plan.solid_panel, columns, tw, th, [&](Point p) -> std::optional<uint32_t> {
      if (std::hypot(p.x - centre.x, p.y - centre.y) <= radius) return kSolidMarker;
      return std::nullopt;
    });
  if (plan.flood_panel >= 0)
    paint(sheet, plan.flood_panel, columns, tw, th, [&](Point p) -> std::optional<uint32_t> {
      if (inside(p)) return kFloodTint;
      return std::nullopt;
    });
  for (size_t d = 0; d < 6 && plan.first_wall_panel >= 0; ++d)
    paint(sheet, plan.first_wall_panel + static_cast<int32_t>(d), columns, tw, th,
          [&](Point p) -> std::optional<uint32_t> {
            if (inside(p) && inside_distance(c[d], c[(d + 1) % 6], p) <= bar) return kWallBar;
            return std::nullopt;
          });
}

bool see_through(uint32_t pixel, TransparentColour key) {
  constexpr uint32_t kHalfOpaque = 0x80;
  return (pixel >> 24) < kHalfOpaque || (key && (pixel & 0xFFFFFF) == *key);
}

}  // namespace

int32_t sheet_columns(const SheetPlan& plan) {
  const auto n = static_cast<int32_t>(plan.tiles.size());
  const int32_t square = static_cast<int32_t>(std::ceil(std::sqrt(static_cast<double>(n))));
  return std::clamp(std::min(square, kMaxPictureSide / std::max(plan.tile_width, 1)), 1,
                    std::max(n, 1));
}

Outcome<Picture> assemble_sheet(const SheetPlan& plan, const PictureSource& picture_of) {
  const int32_t columns = sheet_columns(plan);
  const auto n = static_cast<int64_t>(plan.tiles.size());
  const int64_t rows = (n + columns - 1) / columns;
  if (rows * plan.tile_height > kMaxPictureSide ||
      int64_t{columns} * plan.tile_width > kMaxPictureSide)
    return Failure{"the tilesets' " + std::to_string(n) + " tiles do not fit one sheet of " +
                   std::to_string(kMaxPictureSide) + " pixels a side"};
  Picture sheet{columns * plan.tile_width, static_cast<int32_t>(rows) * plan.tile_height, {}};
  sheet.pixels.assign(static_cast<size_t>(sheet.width) * static_cast<size_t>(sheet.height),
                      kSeeThrough);
  for (int32_t i = 0; i < n; ++i) {
    const std::optional<SheetPiece>& piece = plan.tiles[static_cast<size_t>(i)];
    if (!piece) continue;
    auto source = picture_of(piece->image);
    if (!source) return source.failure();
    const Picture& from = **source;
    if (piece->x + plan.tile_width > from.width || piece->y + plan.tile_height > from.height)
      return Failure{piece->image.string() + " is too small for the tiles its tileset states"};
    paint(sheet, i, columns, plan.tile_width, plan.tile_height,
          [&](Point p) -> std::optional<uint32_t> {
            const uint32_t pixel =
                from.pixels[static_cast<size_t>(piece->y + static_cast<int32_t>(p.y)) *
                                static_cast<size_t>(from.width) +
                            static_cast<size_t>(piece->x + static_cast<int32_t>(p.x))];
            return see_through(pixel, piece->transparent) ? kSeeThrough : pixel;
          });
  }
  draw_panels(plan, columns, sheet);
  return sheet;
}

}  // namespace hexmap::tool
