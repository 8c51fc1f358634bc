// Tile sheets and panels: finding the screen, cutting a BMP sheet into tile images, the overlap
// geometry derived from the box size, and the panel ids (indices into the tile list).
#include <algorithm>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/pixel_geometry.hpp"
#include "hexmap/tile_sheet.hpp"
#include "raster/raster.hpp"

namespace hexmap {

namespace {

// Largest box side SET_OVERLAP_SIZE accepts (map pixels): far beyond any tile an image can
// hold, and small enough that twice it still fits an int.
constexpr int32_t kMaxBoxSide = 1 << 20;

struct ImageDeleter {
  void operator()(raster::Image* image) const { raster::image_destroy(image); }
};
using ImagePtr = std::unique_ptr<raster::Image, ImageDeleter>;

// A panel id as an index into a list of tile_count tiles: ids beyond the list become its last
// tile, ids before it the first. Without a list the id is kept (negative ones as 0) until
// LOAD_TILES brings one.
int32_t panel_in_list(int64_t id, int32_t tile_count) {
  const int64_t last = tile_count >= 1 ? tile_count - 1 : std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp<int64_t>(id, 0, last));
}

// Solid and flood panels: a negative id counts from the end of the list (-1 = the last tile).
int32_t panel_from_end(int32_t id, int32_t tile_count) {
  return panel_in_list(id >= 0 ? int64_t{id} : int64_t{tile_count} + id, tile_count);
}

std::string size_text(int64_t width, int64_t height) {
  std::string text = "(";
  text.append(std::to_string(width)).append(" x ").append(std::to_string(height)).append(")");
  return text;
}

// Cuts `count` tiles of tile_width x tile_height out of the sheet file, ids left to right, then
// top to bottom (image pixels, corners inclusive). Empty on success, else why not; `tiles` then
// holds nothing.
std::string cut_tiles(std::string_view file_name, const detail::TileSheet& sheet,
                      int32_t tile_width, int32_t tile_height, int32_t count,
                      std::vector<ImagePtr>& tiles) {
  const ImagePtr picture(raster::image_create(sheet.width, sheet.height));
  if (!picture || raster::bmp_load(file_name, picture.get()) != 0) {
    return std::string(raster::failure_reason());
  }
  tiles.reserve(static_cast<std::size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    const int32_t x1 = i % sheet.columns * tile_width;
    const int32_t y1 = i / sheet.columns * tile_height;
    ImagePtr tile(raster::image_create(tile_width, tile_height));
    if (!tile || raster::image_get(picture.get(), x1, y1, x1 + tile_width - 1, y1 + tile_height - 1,
                                   tile.get()) != 0) {
      tiles.clear();
      return std::string(raster::failure_reason());
    }
    tiles.push_back(std::move(tile));
  }
  return {};
}

}  // namespace

void HEXAGON_MAP::LOAD_TILES(std::string_view file_name, int32_t tile_width, int32_t tile_height,
                             int32_t count) {
  log_line(": - LOAD TILES is called -");
  if (raster::screen_ptr() != nullptr) {
    SCREEN_UNCHECKED = 0;
    int width = 0, height = 0, depth = 0, bytes_per_pixel = 0, pitch = 0, refresh_rate = 0;
    std::string driver;
    raster::screen_info(width, height, depth, bytes_per_pixel, pitch, refresh_rate, driver);
    SCREEN_WIDTH = width;
    SCREEN_HEIGHT = height;
    log_line(":   graphic screen " + size_text(width, height) + " detected");
    if (detail::window_never_set(CLIP_START, CLIP_END)) SET_CLIP(0, 0, width - 1, height - 1);
  }
  if (SCREEN_UNCHECKED == -1) {
    log_line(": - load tile graphic - BYPASSED -");
    return;
  }

  // Everything is read and cut before the old list goes, so a refusal keeps the old list, the
  // panels and the geometry.
  const std::string graphic = ":   load tile graphic '" + std::string(file_name) + "'";
  detail::TileSheet sheet;
  if (const std::string why =
          detail::check_tile_sheet(file_name, tile_width, tile_height, count, sheet);
      !why.empty()) {
    log_line(graphic + " refused: " + why);
    return;
  }
  log_line(graphic + ". size " + size_text(sheet.width, sheet.height));
  log_line(":   each tile piece size " + size_text(tile_width, tile_height));
  const int32_t whole = sheet.columns * sheet.rows;
  const int32_t cut = detail::tiles_to_cut(count, whole);
  std::vector<ImagePtr> tiles;
  if (const std::string why = cut_tiles(file_name, sheet, tile_width, tile_height, cut, tiles);
      !why.empty()) {
    log_line(graphic + " refused: " + why);
    return;
  }

  if (TILE_COUNT != -1) {
    for (raster::Image* tile : TILES) {
      if (tile != nullptr) raster::image_destroy(tile);
    }
    log_line(":   previous " + std::to_string(TILE_COUNT) + " image buffer, unloaded from memory");
  } else {
    log_line(":   previous list of tile/image buffer NOT found");
  }
  TILES.clear();
  TILE_COUNT = cut;
  const std::string count_text = std::to_string(TILE_COUNT);
  if (count <= 0) {
    log_line(":   all " + count_text + " tiles on BMP will be used");
  } else if (count >= whole) {
    log_line(":   all " + count_text + " usable tiles will be used");
  } else {
    log_line(":   " + count_text + " usable tiles will be used");
  }
  TILE_WIDTH = tile_width;
  TILE_HEIGHT = tile_height;
  log_line(":   creating a list of " + count_text + " tiles");
  for (ImagePtr& tile : tiles)
    TILES.push_back(tile.release());
  log_line(":   " + count_text + " image buffer, assigned to the list.");
  TILE_FILENAME = file_name;

  // Wall panels set before this list (or for a longer one) must still name a tile of it.
  for (int32_t& panel : WALL_PANEL)
    panel = panel_in_list(panel, TILE_COUNT);
  LOG_OFF();
  SET_OVERLAP_SIZE(tile_width, tile_height);
  SET_FLOODMAP_PANEL(0);
  SET_SOLID_PANEL(0);
  LOG_ON();
}

void HEXAGON_MAP::SET_OVERLAP_SIZE(int32_t box_width, int32_t box_height) {
  if (SCREEN_UNCHECKED == -1) return;
  log_line(": - SET OVERLAP SIZE is called -");
  const std::string overlap =
      ":   overlap offset " + std::to_string(box_width) + "x" + std::to_string(box_height);
  const int32_t height = box_height == -1 ? TILE_HEIGHT : box_height;
  // The picks and the block counts divide by the box; a zero box would divide by zero.
  if (box_width < 1 || height < 1 || box_width > kMaxBoxSide || height > kMaxBoxSide) {
    log_line(overlap + " refused: box width and height must be 1 to " +
             std::to_string(kMaxBoxSide));
    return;
  }
  BOX_WIDTH = box_width;
  BOX_HEIGHT = height;
  ODD_COLUMN_OFFSET = BOX_HEIGHT / 2;
  OVERLAP_WIDTH = TILE_WIDTH - BOX_WIDTH;
  BLOCK_WIDTH = 2 * BOX_WIDTH;
  BLOCK_HEIGHT = BOX_HEIGHT;
  CELL_CENTER_X = TILE_WIDTH / 2;
  CELL_CENTER_Y = ODD_COLUMN_OFFSET;
  CENTER_OFFSET = VECTOR2D(CELL_CENTER_X - WIN_CENTER.X, CELL_CENTER_Y - WIN_CENTER.Y);
  if (TILE_WIDTH != box_width || TILE_HEIGHT != box_height) {
    log_line(overlap);
    log_line(":   tile will be drawn using overlap information");
  }
  SCREEN_BLOCKS_X = SCREEN_WIDTH / BLOCK_WIDTH;
  SCREEN_BLOCKS_Y = SCREEN_HEIGHT / BLOCK_HEIGHT;
}

void HEXAGON_MAP::SET_SOLID_PANEL(int32_t id) {
  if (SCREEN_UNCHECKED == -1) return;
  SOLID_PANEL = panel_from_end(id, TILE_COUNT);
  log_line(": - set solid panel to " + std::to_string(SOLID_PANEL));
}

void HEXAGON_MAP::SET_FLOODMAP_PANEL(int32_t id) {
  if (SCREEN_UNCHECKED == -1) return;
  FLOOD_PANEL = panel_from_end(id, TILE_COUNT);
  log_line(": - set floodmap panel to " + std::to_string(FLOOD_PANEL));
}

// Wall panels are six consecutive tiles, side 0 (top) first, clockwise.
void HEXAGON_MAP::SET_WALL_PANELS(int32_t first) {
  log_line(": - set wall panel");
  for (int32_t side = 0; side < detail::kDirectionCount; ++side) {
    WALL_PANEL[static_cast<std::size_t>(side)] = panel_in_list(int64_t{first} + side, TILE_COUNT);
    log_line(":   set wall " + std::to_string(side) + " with " +
             std::to_string(WALL_PANEL[static_cast<std::size_t>(side)]));
  }
}

}  // namespace hexmap
