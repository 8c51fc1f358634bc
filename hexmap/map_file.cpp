// SAVE_MAP and LOAD_MAP: the map text file written whole or not at all, and read and checked
// whole before the map changes.
#include <string>

#include "hexmap/atomic_file.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/map_file_format.hpp"

namespace hexmap {

namespace {

// Cell lines are gathered into writes of about this many bytes.
constexpr std::size_t kWriteChunk = 1 << 20;

map_file::MapHeader header_of(const HEXAGON_MAP& map) {
  map_file::MapHeader h;
  h.map_width = map.MAP_WIDTH;
  h.map_height = map.MAP_HEIGHT;
  h.tile_filename = map.TILE_FILENAME;
  h.tile_width = map.TILE_WIDTH;
  h.tile_height = map.TILE_HEIGHT;
  h.tile_count = map.TILE_COUNT;
  h.box_width = map.BOX_WIDTH;
  h.box_height = map.BOX_HEIGHT;
  h.solid_panel = map.SOLID_PANEL;
  h.flood_panel = map.FLOOD_PANEL;
  h.first_wall_panel = map.WALL_PANEL[0];
  return h;
}

// Why the map cannot be written as a file that reads back the same; empty when it can.
std::string save_refusal(const HEXAGON_MAP& map) {
  if (const std::string why = map_file::tile_filename_refusal(map.TILE_FILENAME); !why.empty())
    return "tile file name can not be written: " + why;
  // The size fields are public and writable: the cell lines must match what line 2 and 3 say.
  if (map.MAP_WIDTH < 1 || map.MAP_HEIGHT < 1 ||
      int64_t{map.MAP_WIDTH} * map.MAP_HEIGHT != static_cast<int64_t>(map.CELLS.size()))
    return "map size fields disagree with the cells";
  return {};
}

}  // namespace

void HEXAGON_MAP::SAVE_MAP(std::string_view file_name) {
  log_line(": < saving map >");
  const auto abort_with = [this](const std::string& reason) {
    log_line(":   " + reason);
    log_line(": < saving map. aborted >");
  };
  if (TILE_FILENAME.empty()) return abort_with("incomplete map format found");
  if (const std::string why = save_refusal(*this); !why.empty()) return abort_with(why);

  AtomicFile file{std::string(file_name)};
  if (file.failed()) return abort_with(file.error());
  log_line(":   saving header part");
  file.write(map_file::format_header(header_of(*this)));
  log_line(":   saving map cell part. (ground, solid flag, wall bit-field)");
  std::string chunk;
  chunk.reserve(kWriteChunk + 64);
  for (const MAP_CELL& cell : CELLS) {
    map_file::append_cell_line(chunk, {cell.ID_GROUND, cell.SOLID, cell.ID_WALL});
    if (chunk.size() >= kWriteChunk) {
      if (!file.write(chunk)) break;
      chunk.clear();
    }
  }
  file.write(chunk);
  if (!file.commit()) return abort_with(file.error());
  log_line(": < saving map. done >");
}

}  // namespace hexmap
