// What a tile sheet must be before LOAD_TILES cuts it, as one rule for LOAD_TILES and the map
// file reader (which checks the sheet before it changes anything). Internal to the engine.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hexmap::detail {

// Most tiles one list may hold. Each tile is an image of its own with bookkeeping beside its
// pixels; a large sheet cut into 1 x 1 tiles would otherwise need gigabytes of it.
inline constexpr int32_t kMaxTileCount = 1 << 18;

// A sheet that passed the checks (image pixels): its size and whole tiles per row and column.
struct TileSheet {
  int32_t width = 0;
  int32_t height = 0;
  int32_t columns = 0;
  int32_t rows = 0;
};

// Number of tiles a list takes from a sheet holding `whole` tiles: every one for count <= 0,
// else count, cut down to the sheet.
constexpr int32_t tiles_to_cut(int32_t count, int32_t whole) {
  return count <= 0 || count >= whole ? whole : count;
}

// Why the sheet cannot be cut into tile_width x tile_height tiles (count as for LOAD_TILES),
// or empty when it can; fills `sheet` when it can. Reads and checks the whole file.
std::string check_tile_sheet(std::string_view file_name, int32_t tile_width, int32_t tile_height,
                             int32_t count, TileSheet& sheet);

// The same answer without the sheet: empty when LOAD_TILES would accept it, else the reason
// (missing file, not a regular file, not a readable BMP, smaller than one tile, tile sizes
// below 1, too many tiles).
std::string tile_sheet_refusal(std::string_view file_name, int32_t tile_width, int32_t tile_height,
                               int32_t count = 0);

}  // namespace hexmap::detail
