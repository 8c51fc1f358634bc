#include <iostream>
#include <set>

#include "tools/commands.hpp"
#include "tools/engine_map.hpp"
#include "tools/map_source.hpp"

namespace hexmap::tool {
namespace {

constexpr int kTileFilenameLine = 5;  // of a map file

int count_wall_sides(const MapDocument& m) {
  int n = 0;
  for (const CellDocument& c : m.cells)
    n += __builtin_popcount(static_cast<uint32_t>(c.wall & 0x3F));
  return n;
}

// The sheet's file name, or how many tileset images an assembled sheet comes from.
std::string sheet_source(const LoadedMap& loaded) {
  if (!loaded.packed) return loaded.sheet.filename().string();
  std::set<std::filesystem::path> images;
  for (const std::optional<SheetPiece>& piece : loaded.packed->tiles)
    if (piece) images.insert(piece->image);
  return std::to_string(images.size()) +
         (images.size() == 1 ? " tileset image" : " tileset images");
}

// "ground costs 2:3 5:2" (ground id:cost), or the default when no tile names a cost.
std::string costs_found(const MapDocument& m) {
  if (m.ground_costs.empty()) return "every ground costs 1";
  std::string s = "ground costs";
  for (const auto& [ground, cost] : m.ground_costs)
    s += " " + std::to_string(ground) + ":" + std::to_string(cost);
  return s;
}

}  // namespace

int run_check(const std::filesystem::path& file) {
  auto loaded = load_map(file);
  if (!loaded) {
    report(loaded.failure().reason);
    return kExitFailure;
  }
  const MapDocument& m = loaded->map;
  // An assembled sheet is made to fit its tiles; the engine checks it below.
  auto size = loaded->packed ? Outcome<ImageSize>(ImageSize{m.tile_width, m.tile_height})
                             : sheet_size(loaded->sheet);
  const bool text = loaded->format == MapFormat::text;
  if (!size) {
    report(file.string() + (text ? ":" + std::to_string(kTileFilenameLine) : "") + ": " +
           size.failure().reason);
    return kExitFailure;
  }
  if (size->width < m.tile_width || size->height < m.tile_height) {
    report(file.string() + (text ? ":" + std::to_string(kTileFilenameLine) : "") + ": tile sheet " +
           loaded->sheet.string() + " is smaller than one tile");
    return kExitFailure;
  }
  // The engine itself must accept the grid and cut the sheet.
  HEXAGON_MAP engine;
  if (std::string why = fill_cells(engine, m); !why.empty()) {
    report(file.string() + ": " + why);
    return kExitFailure;
  }
  const ScratchFolder scratch;
  auto sheet = engine_sheet(*loaded, scratch);
  constexpr int32_t kCheckScreenSide = 64;
  std::string refused =
      sheet ? open_headless_screen(kCheckScreenSide, kCheckScreenSide) : sheet.failure().reason;
  if (refused.empty()) refused = load_tiles(engine, m, *sheet);
  if (!refused.empty()) {
    report(file.string() + (text ? ":" + std::to_string(kTileFilenameLine) : "") + ": " + refused);
    return kExitFailure;
  }
  int solid = 0;
  for (const CellDocument& c : m.cells)
    solid += c.solid != 0;
  std::cout << file.string() << ": " << m.width << " x " << m.height << " cells, " << m.tile_count
            << " tiles of " << m.tile_width << " x " << m.tile_height << " from "
            << sheet_source(*loaded) << ", " << count_wall_sides(m) << " wall sides, " << solid
            << " solid cells, " << costs_found(m) << "\n";
  return kExitOk;
}

}  // namespace hexmap::tool
