#include <algorithm>
#include <iostream>
#include <limits>

#include "hexmap/pathfinder.hpp"
#include "hexmap/sight.hpp"
#include "raster/raster.hpp"
#include "tools/commands.hpp"
#include "tools/engine_map.hpp"
#include "tools/file_io.hpp"
#include "tools/map_source.hpp"
#include "tools/output_file.hpp"
#include "tools/terrain_costs.hpp"

namespace hexmap::tool {
namespace {

constexpr int32_t kNoExpansionLimit = std::numeric_limits<int32_t>::max();
// The flood display pulses; this many draws bring it to full strength (opacity 200).
constexpr int kFloodDrawsToFullOpacity = 40;
constexpr int kRangeDrawsToHalfOpacity = 20;

// Size of the whole map's picture in map pixels, tiles that reach past their box included.
int64_t map_extent(int32_t cells, int32_t box, int32_t tile) {
  return int64_t{cells - 1} * box + std::max(box, tile);
}

enum class PictureFormat { png, bmp };

// The format the output's name asks for: by its extension, PNG for standard output.
std::optional<PictureFormat> picture_format(const std::filesystem::path& out) {
  if (out == kStandardOutput) return PictureFormat::png;
  std::string ext = out.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".png") return PictureFormat::png;
  if (ext == ".bmp") return PictureFormat::bmp;
  return std::nullopt;
}

// Writes the frame in the chosen format; empty on success, else the reason.
std::string write_picture(const std::filesystem::path& out, PictureFormat format,
                          const Picture& frame) {
  if (format == PictureFormat::bmp) return write_file_atomically(out, encode_bmp(frame));
  auto png = encode_png(frame);
  if (!png) return png.failure().reason;
  if (out != kStandardOutput) return write_file_atomically(out, *png);
  std::cout.write(png->data(), static_cast<std::streamsize>(png->size())).flush();
  return std::cout ? "" : "cannot write the picture to standard output";
}

// Marks the cells within the range's budget as flooded, for the flood display to shade them.
// Empty on success, else why the costs cannot be had.
std::string mark_range(HEXAGON_MAP& map, const MapDocument& doc, FloodRequest range,
                       const GroundCosts& overrides) {
  auto costs = terrain_costs(doc, overrides);
  if (!costs) return costs.failure().reason;
  std::vector<Reach> reach;
  PathFinder(map).reachable({range.origin.x, range.origin.y}, range.steps, *costs, reach);
  for (const Reach& r : reach) {
    MAP_CELL cell = map.GET_ID(r.cell);
    cell.FLOOD = 1;
    map.SET_ID(r.cell, cell);
  }
  return {};
}

}  // namespace

int run_render(const RenderRequest& request) {
  const std::optional<PictureFormat> format = picture_format(request.out);
  if (!format) {
    report("cannot write " + request.out.string() +
           ": render writes .png or .bmp pictures, or PNG to standard output with -o -");
    return kExitUsage;
  }
  auto loaded = load_map(request.map);
  if (!loaded) {
    report(loaded.failure().reason);
    return kExitFailure;
  }
  const MapDocument& doc = loaded->map;
  PixelSize size;
  if (request.size) {
    size = *request.size;
  } else {
    const int64_t w = map_extent(doc.width, doc.box_width, doc.tile_width);
    const int64_t h = map_extent(doc.height, doc.box_height, doc.tile_height) +
                      (doc.width > 1 ? doc.box_height / 2 : 0);
    if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels) {
      report("the whole map would be a picture of " + std::to_string(w) + " x " +
             std::to_string(h) + " pixels; choose a part with --size and --center");
      return kExitUsage;
    }
    size = {static_cast<int32_t>(w), static_cast<int32_t>(h)};
  }

  // The engine cuts BMP sheets; a Tiled map's PNG sheet is copied to one first.
  note_input(loaded->sheet);  // read by the engine, not by the tool
  const ScratchFolder scratch;
  auto sheet = engine_sheet(*loaded, scratch);
  if (!sheet) {
    report(sheet.failure().reason);
    return kExitFailure;
  }
  if (std::string why = open_headless_screen(size.width, size.height); !why.empty()) {
    report(why);
    return kExitUsage;
  }
  HEXAGON_MAP map;
  std::string why = fill_cells(map, doc);
  if (why.empty()) why = load_tiles(map, doc, *sheet);
  if (!why.empty()) {
    report(request.map.string() + ": " + why);
    return kExitFailure;
  }
  std::vector<GridCell> asked;
  if (request.center) asked.push_back(*request.center);
  if (request.path) asked.insert(asked.end(), {request.path->from, request.path->to});
  if (request.flood) asked.push_back(request.flood->origin);
  if (request.range) asked.push_back(request.range->origin);
  if (request.sight) asked.push_back(request.sight->origin);
  for (GridCell c : asked)
    if (std::string outside = outside_map(map, c); !outside.empty()) {
      report(outside);
      return kExitUsage;
    }

  map.SET_CLIP(0, 0, size.width - 1, size.height - 1);
  if (request.center)
    map.SET_CAMERA(map.GET_CENTER_CAMERA_POSITION_FOR_GRID(request.center->x, request.center->y));
  if (request.flood)
    map.FLOODMAP_COMPUTE(request.flood->origin.x, request.flood->origin.y, request.flood->steps);
  if (request.range) {
    if (std::string failed = mark_range(map, doc, *request.range, request.costs); !failed.empty()) {
      report(request.map.string() + ": " + failed);
      return kExitFailure;
    }
  }
  raster::screen_lock();
  const bool shaded = request.flood || request.range;
  // A range is shaded at half strength (opacity 100), for the ground under it tells its costs.
  const int draws = request.flood ? kFloodDrawsToFullOpacity : kRangeDrawsToHalfOpacity;
  for (int i = 1; shaded && i < draws; ++i)
    map.FLOODMAP_DRAW_PATH();
  raster::screen_clear();
  map.DRAW();
  if (shaded) map.FLOODMAP_DRAW_PATH();
  if (request.path) {
    map.ASTAR_COMPUTE(request.path->from.x, request.path->from.y, request.path->to.x,
                      request.path->to.y, kNoExpansionLimit);
    map.ASTAR_DRAW_PATH();
  }
  if (request.sight) {
    std::vector<VECTOR2D> seen;
    field_of_view(map, VECTOR2D(request.sight->origin.x, request.sight->origin.y),
                  request.sight->steps, seen);
    shade_out_of_sight(map, seen);
  }
  raster::screen_unlock();

  const std::vector<raster::Color>& frame = raster::headless::presented_frame();
  if (std::string failed = write_picture(request.out, *format, {size.width, size.height, frame});
      !failed.empty()) {
    report(failed);
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace hexmap::tool
