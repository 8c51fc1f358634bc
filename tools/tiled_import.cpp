// A Tiled map in hexmap's terms: layout, tilesets packed into one sheet, panels, warnings.
#include <algorithm>
#include <charconv>

#include "hexmap/hexagon_map.hpp"
#include "tools/picture.hpp"
#include "tools/tiled_model.hpp"

namespace hexmap::tool {
namespace {

// Far beyond any real map's tiles; keeps an assembled sheet's plan small.
constexpr int64_t kMaxSheetTiles = 1 << 16;

std::string size_text(int32_t w, int32_t h) {
  return std::to_string(w) + " x " + std::to_string(h);
}

std::optional<Failure> check_layout(const TiledMap& m) {
  if (m.orientation == "hexagonal" && m.stagger_axis == "x" && m.stagger_index == "odd")
    return std::nullopt;
  return failure_at(m.where, "orientation " + in_quotes(m.orientation) + ", staggeraxis " +
                                 in_quotes(m.stagger_axis) + ", staggerindex " +
                                 in_quotes(m.stagger_index) +
                                 " is not supported: maps must be hexagonal with staggeraxis 'x' "
                                 "and staggerindex 'odd'");
}

// Tiled rounds hexagon sizes down to even numbers, and so does hexmap.
std::optional<Failure> set_layout(const TiledMap& m, MapDocument& map, HexShape& hex) {
  hex = {m.tile_width & ~1, m.tile_height & ~1, m.hex_side};
  if (hex.height < 2 || hex.width < 2)
    return failure_at(m.where, "tilewidth and tileheight must be 2 or more");
  // Tiled's column step: half of what the side leaves of the width, plus the side.
  map.box_width = (hex.width - hex.side) / 2 + hex.side;
  map.box_height = hex.height;
  return std::nullopt;
}

// The grid: the map's size, or for infinite maps the rectangle of every chunk, widened to an
// even first column so that odd columns stay the lower ones.
Outcome<GridWindow> grid_window(const TiledMap& m, std::vector<Failure>& warnings) {
  if (!m.infinite) {
    if (int64_t{m.width} * m.height > kMaxCellCount)
      return failure_at(m.where,
                        "the map has more than " + std::to_string(kMaxCellCount) + " cells");
    return GridWindow{0, 0, m.width, m.height};
  }
  int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;  // grid, inclusive
  for (const TiledLayer& l : m.layers)
    for (const TiledChunk& c : l.chunks) {
      x0 = std::min<int64_t>(x0, c.x);
      y0 = std::min<int64_t>(y0, c.y);
      x1 = std::max<int64_t>(x1, int64_t{c.x} + c.width - 1);
      y1 = std::max<int64_t>(y1, int64_t{c.y} + c.height - 1);
    }
  if (x0 > x1) return failure_at(m.where, "the infinite map has no chunks of tiles");
  x0 -= ((x0 % 2) + 2) % 2;
  if ((x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCellCount)
    return failure_at(m.where, "the infinite map's chunks span more than " +
                                   std::to_string(kMaxCellCount) + " cells");
  const GridWindow w{static_cast<int32_t>(x0), static_cast<int32_t>(y0),
                     static_cast<int32_t>(x1 - x0 + 1), static_cast<int32_t>(y1 - y0 + 1)};
  warnings.push_back(failure_at(
      m.where, "the infinite map is read over its chunks: " + size_text(w.width, w.height) +
                   " cells from Tiled's cell (" + std::to_string(w.x) + "," + std::to_string(w.y) +
                   "), which becomes cell (0,0)"));
  return w;
}

std::optional<Failure> check_tilesets(std::vector<TiledTileset>& sets, const TiledMap& m) {
  if (sets.empty()) return failure_at(m.where, "the map has no tileset");
  std::stable_sort(sets.begin(), sets.end(), [](const TiledTileset& a, const TiledTileset& b) {
    return a.first_gid < b.first_gid;
  });
  for (const TiledTileset& t : sets)
    if (t.tile_width != sets[0].tile_width || t.tile_height != sets[0].tile_height)
      return failure_at(t.where, "tilesets " + in_quotes(sets[0].name) + " (" +
                                     size_text(sets[0].tile_width, sets[0].tile_height) + ") and " +
                                     in_quotes(t.name) + " (" +
                                     size_text(t.tile_width, t.tile_height) +
                                     ") have different tile sizes; hexmap draws every tile at one "
                                     "size");
  return std::nullopt;
}

// Tiled draws a tile with its bottom-left corner on the hexagon's, moved by the drawing
// offset; hexmap draws its top-left corner on the box's. Screen pixels. The pixel an odd
// hexagon height loses to rounding is not worth a warning: tiles of the map's own height pass.
void warn_offset(const std::vector<TiledTileset>& sets, int32_t stated_height, int32_t box_height,
                 std::vector<Failure>& warnings) {
  for (const TiledTileset& t : sets) {
    const int64_t lower = int64_t{t.tile_height} - box_height - t.offset_y;
    if (int64_t{t.tile_height} - stated_height - t.offset_y == 0 && t.offset_x == 0) continue;
    warnings.push_back(failure_at(
        t.where, "tileset " + in_quotes(t.name) + " draws tiles " + std::to_string(t.tile_height) +
                     " pixels high on hexagons " + std::to_string(box_height) +
                     " high: hexmap's picture shows them moved by (" +
                     std::to_string(-int64_t{t.offset_x}) + "," + std::to_string(lower) +
                     ") pixels against Tiled's"));
    return;  // once
  }
}

std::optional<int32_t> int_property(const TiledMap& m, std::string_view name) {
  const auto p = m.properties.find(std::string(name));
  if (p == m.properties.end() || (p->second.type != "int" && p->second.type != "string"))
    return std::nullopt;
  int32_t v = 0;
  const std::string& s = p->second.value;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// The engine's sheet straight from one tileset image, as hexmap exports it.
bool image_as_sheet(const std::vector<TiledTileset>& sets) {
  const TiledTileset& t = sets.front();
  return sets.size() == 1 && t.first_gid == 1 && !t.image.empty() && t.margin == 0 &&
         t.spacing == 0;
}

// Where each tile of the tileset lies in its image (or images), in that image's pixels.
void add_pieces(const TiledTileset& t, int32_t shift,
                std::vector<std::optional<SheetPiece>>& tiles) {
  const auto slot = [&](int32_t local) -> std::optional<SheetPiece>* {
    const int64_t index = int64_t{t.first_gid} + local - shift;
    return index >= 0 ? &tiles[static_cast<size_t>(index)] : nullptr;
  };
  if (t.image.empty()) {
    for (const TiledTileImage& ti : t.tile_images)
      if (auto* s = slot(ti.id)) *s = SheetPiece{ti.image, {}, 0, 0};
    return;
  }
  for (int32_t local = 0; local < t.tile_count; ++local)
    if (auto* s = slot(local))
      *s = SheetPiece{t.image, t.transparent,
                      t.margin + local % t.columns * (t.tile_width + t.spacing),
                      t.margin + local / t.columns * (t.tile_height + t.spacing)};
}

// Packed tile i holds gid i + shift; the panels the map does not name follow.
Outcome<SheetPlan> plan_sheet(const TiledMap& m, const std::vector<TiledTileset>& sets,
                              int32_t shift, const HexShape& hex, MapDocument& map) {
  SheetPlan plan{sets[0].tile_width, sets[0].tile_height, {}, -1, -1, -1, hex};
  int64_t last_gid = 0;
  for (const TiledTileset& t : sets)
    last_gid = std::max(last_gid, int64_t{t.first_gid} + t.tile_count - 1);
  constexpr int64_t kPanelTiles = 8;  // solid, flood, six walls
  const int64_t count = last_gid + 1 - shift + kPanelTiles;
  if (count > kMaxSheetTiles || count * plan.tile_width * plan.tile_height > kMaxPicturePixels)
    return failure_at(m.where, "the tilesets reach gid " + std::to_string(last_gid) +
                                   "; one sheet of them all would exceed " +
                                   std::to_string(kMaxSheetTiles) + " tiles or " +
                                   std::to_string(kMaxPicturePixels) + " pixels");
  plan.tiles.resize(static_cast<size_t>(count - kPanelTiles));
  for (const TiledTileset& t : sets)
    add_pieces(t, shift, plan.tiles);
  int32_t next = static_cast<int32_t>(plan.tiles.size());
  const auto panel = [&](std::string_view property, int32_t& field, int32_t& drawn, int32_t n) {
    if (const auto v = int_property(m, property)) {
      field = *v;
      return;
    }
    field = drawn = next;
    next += n;
  };
  panel(kSolidPanelProperty, map.solid_panel, plan.solid_panel, 1);
  panel(kFloodPanelProperty, map.flood_panel, plan.flood_panel, 1);
  panel(kFirstWallPanelProperty, map.first_wall_panel, plan.first_wall_panel, 6);
  plan.tiles.resize(static_cast<size_t>(next));
  map.tile_count = next;
  return plan;
}

}  // namespace

Outcome<TmxImport> import_tiled_map(TiledMap&& m) {
  TmxImport out;
  MapDocument& map = out.map;
  if (auto f = check_layout(m)) return *f;
  HexShape hex;
  if (auto f = set_layout(m, map, hex)) return *f;
  auto window = grid_window(m, out.warnings);
  if (!window) return window.failure();
  map.width = window->width;
  map.height = window->height;
  if (auto f = check_tilesets(m.tilesets, m)) return *f;
  const std::vector<TiledTileset>& sets = m.tilesets;
  map.tile_width = sets[0].tile_width;
  map.tile_height = sets[0].tile_height;
  warn_offset(sets, m.tile_height, map.box_height, out.warnings);

  // hexmap's own exports name their panels and number tiles from 0 at gid 1.
  const bool own_export = int_property(m, kSolidPanelProperty) &&
                          int_property(m, kFloodPanelProperty) &&
                          int_property(m, kFirstWallPanelProperty);
  const int32_t shift = own_export ? 1 : 0;
  if (own_export && image_as_sheet(sets)) {
    map.solid_panel = *int_property(m, kSolidPanelProperty);
    map.flood_panel = *int_property(m, kFloodPanelProperty);
    map.first_wall_panel = *int_property(m, kFirstWallPanelProperty);
    map.tile_count = int_property(m, kTileCountProperty).value_or(sets[0].tile_count);
    out.sheet = sets[0].image;
    out.transparent = sets[0].transparent;
  } else {
    auto plan = plan_sheet(m, sets, shift, hex, map);
    if (!plan) return plan.failure();
    out.packed = std::move(*plan);
  }
  for (const TiledTileset& t : sets)
    for (const auto& [local, cost] : t.costs)
      map.ground_costs[t.first_gid + local - shift] = cost;

  auto cells = place_layers(m, *window, GidTable{sets, shift}, out.warnings);
  if (!cells) return cells.failure();
  map.cells = std::move(*cells);
  return out;
}

Outcome<TmxImport> read_tmx(std::string_view xml, const std::filesystem::path& folder,
                            const TmxSources& sources) {
  auto tiled = parse_tiled_xml(xml, folder, sources);
  if (!tiled) return tiled.failure();
  return import_tiled_map(std::move(*tiled));
}

Outcome<TmxImport> read_tiled_json(std::string_view json, const std::filesystem::path& folder,
                                   const TmxSources& sources) {
  auto tiled = parse_tiled_json(json, folder, sources);
  if (!tiled) return tiled.failure();
  return import_tiled_map(std::move(*tiled));
}

}  // namespace hexmap::tool
