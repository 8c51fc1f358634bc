// SAVE_MAP and LOAD_MAP: the map text file written whole or not at all, and read and checked
// whole before the map changes.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <variant>

#include "hexmap/atomic_file.hpp"
#include "hexmap/grid_size.hpp"
#include "hexmap/hexagon_map.hpp"
#include "hexmap/map_file_format.hpp"
#include "hexmap/tile_sheet.hpp"
#include "raster/raster.hpp"

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
  // The cell lines must match what lines 2 and 3 say.
  if (!detail::size_fields_match(map)) return "map size fields disagree with the cells";
  return {};
}

// Why the file cannot be opened as a saved map, or empty when it can. A missing or empty file
// is "not found"; an empty one is left alone, as another program may be writing it.
std::string file_refusal(const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(name, error);
  if (status.type() == fs::file_type::not_found) return "saved file NOT found";
  if (error) return "saved file '" + name + "' can not be read: " + error.message();
  // Anything but a regular file (a folder, a pipe, a device) could block or never end.
  if (!fs::is_regular_file(status)) return "saved file '" + name + "' is not a regular file";
  const std::uintmax_t size = fs::file_size(name, error);
  if (error) return "saved file '" + name + "' can not be read: " + error.message();
  if (size == 0) return "saved file NOT found";
  return {};
}

// Reads the whole file: its content, or why it cannot be loaded (the log line after NAME).
std::variant<map_file::MapFileContent, std::string> read_map_file(const std::string& name) {
  std::filebuf in;
  if (in.open(name, std::ios::in | std::ios::binary) == nullptr)
    return ":   saved file '" + name + "' can not be opened: " + std::strerror(errno);
  map_file::ParseResult parsed = map_file::parse_map_file(in);
  if (const auto* problem = std::get_if<map_file::FileProblem>(&parsed))
    return ":   line " + std::to_string(problem->line) + ": " + problem->reason;
  return std::move(std::get<map_file::MapFileContent>(parsed));
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
  const auto failure = [&file] { return "can not write '" + file.name() + "': " + file.reason(); };
  // The sheet is the one file a map names: saving over it would lose the tiles.
  if (file_id(file.target()) && file_id(file.target()) == file_id(TILE_FILENAME))
    file.refuse("it is the map's tile sheet");
  if (file.failed()) return abort_with(failure());
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
  if (!file.commit()) return abort_with(failure());
  log_line(": < saving map. done >");
}

void HEXAGON_MAP::LOAD_MAP(std::string_view file_name) {
  log_line(": < loading map >");
  const auto abort_with = [this](const std::string& line) {
    log_line(line);
    log_line(": < loading map. aborted >");
  };
  const std::string name(file_name);
  if (const std::string why = file_refusal(name); !why.empty()) return abort_with(":   " + why);
  log_line(":   saved file found");
  auto read = read_map_file(name);
  if (const auto* why = std::get_if<std::string>(&read)) return abort_with(*why);
  const map_file::MapFileContent& content = std::get<map_file::MapFileContent>(read);
  const map_file::MapHeader& h = content.header;

  // LOAD_TILES is bypassed until a screen is known; once it is, a sheet it would refuse
  // refuses the whole file here, before anything has changed.
  if (SCREEN_UNCHECKED != -1 || raster::screen_ptr() != nullptr) {
    if (const std::string why =
            detail::tile_sheet_refusal(h.tile_filename, h.tile_width, h.tile_height, h.tile_count);
        !why.empty())
      return abort_with(":   tile sheet '" + h.tile_filename + "' refused: " + why);
  }

  // The size was checked while reading, so only storage can fail here; a refused grid keeps
  // its old block of cells.
  const MAP_CELL* old_cells = CELLS.data();
  CREATE_MAP(h.map_width, h.map_height);
  if (CELLS.data() == old_cells || CELLS.size() != content.cells.size())
    return abort_with(":   the grid could not be created");
  LOAD_TILES(h.tile_filename, h.tile_width, h.tile_height, h.tile_count);
  SET_OVERLAP_SIZE(h.box_width, h.box_height);
  SET_SOLID_PANEL(h.solid_panel);
  SET_FLOODMAP_PANEL(h.flood_panel);
  SET_WALL_PANELS(h.first_wall_panel);
  LOG_ON();
  log_line(":   loading map cell blocks'" + content.cell_heading + "'");
  for (std::size_t i = 0; i < content.cells.size(); ++i) {
    CELLS[i].ID_GROUND = content.cells[i].ground;
    CELLS[i].SOLID = content.cells[i].solid;
    CELLS[i].ID_WALL = content.cells[i].wall;
  }
  log_line(": < loading map. done >");
}

}  // namespace hexmap
