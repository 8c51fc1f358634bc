// The map object: lifecycle, name, log, the grid and access to single cells (grid coordinates).
#include <new>
#include <string>
#include <utility>

#include "hexmap/hexagon_map.hpp"
#include "hexmap/search_buffers.hpp"
#include "raster/raster.hpp"

namespace hexmap {

namespace {

constexpr std::size_t kNameLength = 8;

std::string size_text(int64_t width, int64_t height) {
  // Appended piece by piece: g++ 12 warns (falsely) about operator+ on a literal.
  std::string text = "(";
  text.append(std::to_string(width)).append(" x ").append(std::to_string(height)).append(")");
  return text;
}

// Why a grid of width x height cannot be created, or empty when it can.
std::string grid_refusal(int32_t width, int32_t height) {
  if (width < 1 || height < 1) return "width and height must be at least 1";
  if (int64_t{width} * height > kMaxCellCount)
    return "more than " + std::to_string(kMaxCellCount) + " cells";
  return {};
}

}  // namespace

HEXAGON_MAP::HEXAGON_MAP() : scratch_(std::make_unique<Scratch>()) {
  log_line(": - HEXAGON MAP is created");
  CELLS.assign(1, MAP_CELL{});
  note_grid_created();
  log_line(":   set default map size to (1 x 1)");
  ASTAR_CELLSETSTART(0, 0);
  ASTAR_CELLSETEND(0, 0);
  log_line(":   set default A* start/end point");
  SCREEN_UNCHECKED = -1;
  log_line(":   graphic screen is NOT yet checked");
  TILE_COUNT = -1;
}

HEXAGON_MAP::~HEXAGON_MAP() {
  log_line(": - CLEAN UP -");
  CELLS = {};
  log_line(":   map, unloaded from memory");
  if (SCREEN_UNCHECKED == -1) return;
  log_line(":   clean up graphic related stuff");
  if (TILE_COUNT == -1) return;
  for (raster::Image* tile : TILES) {
    if (tile != nullptr) raster::image_destroy(tile);
  }
  log_line(":   " + std::to_string(TILE_COUNT) + " image buffer, unloaded from memory");
  TILES = {};
  log_line(":   list of tile, unloaded from memory");
}

void HEXAGON_MAP::SET_NAME(std::string_view name) {
  const std::string_view kept = name.substr(0, std::min(name.size(), kNameLength));
  log_line(std::string(": - RENAME '") + NAME + "' to '" + std::string(kept) + "' -");
  NAME = kept;
}

void HEXAGON_MAP::log_line(std::string_view detail) const {
  if (LOG_ENABLED == 0) return;  // spares building the line
  PRINT_(NAME + std::string(detail));
}

void HEXAGON_MAP::LOG_ON() {
  LOG_ENABLED = -1;
}
void HEXAGON_MAP::LOG_OFF() {
  LOG_ENABLED = 0;
}

void HEXAGON_MAP::CREATE_MAP(int32_t width, int32_t height) {
  log_line(": - CREATE MAP is called -");
  const std::string resize =
      ":   resize map " + size_text(MAP_WIDTH, MAP_HEIGHT) + " to " + size_text(width, height);
  if (const std::string why = grid_refusal(width, height); !why.empty()) {
    log_line(resize + " refused: " + why);
    return;
  }
  std::vector<MAP_CELL> cells;
  try {
    cells.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  } catch (const std::bad_alloc&) {
    log_line(resize + " refused: out of memory");
    return;
  }
  log_line(resize);
  std::size_t i = 0;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      cells[i++].POSITION = VECTOR2D(x, y);
  }
  std::swap(CELLS, cells);
  const int32_t old_width = MAP_WIDTH;
  const int32_t old_height = MAP_HEIGHT;
  MAP_WIDTH = width;
  MAP_HEIGHT = height;
  CELL_COUNT = width * height;
  try {
    note_grid_created();
  } catch (const std::bad_alloc&) {
    // The search buffers could not grow: keep the old grid, which they still fit.
    std::swap(CELLS, cells);
    MAP_WIDTH = old_width;
    MAP_HEIGHT = old_height;
    CELL_COUNT = old_width * old_height;
    log_line(":   resize map refused: out of memory for the search buffers");
  }
}

int32_t HEXAGON_MAP::INSIDE(int32_t x, int32_t y) const {
  return x >= 0 && x < MAP_WIDTH && y >= 0 && y < MAP_HEIGHT ? -1 : 0;
}
int32_t HEXAGON_MAP::INSIDE(VECTOR2D p) const {
  return INSIDE(p.X, p.Y);
}

// The size fields are public and writable, so the index is checked against the cells too.
MAP_CELL* HEXAGON_MAP::cell_at(int32_t x, int32_t y) {
  return const_cast<MAP_CELL*>(std::as_const(*this).cell_at(x, y));
}
const MAP_CELL* HEXAGON_MAP::cell_at(int32_t x, int32_t y) const {
  if (INSIDE(x, y) == 0) return nullptr;
  const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(MAP_WIDTH) +
                        static_cast<std::size_t>(x);
  return i < CELLS.size() ? &CELLS[i] : nullptr;
}

MAP_CELL HEXAGON_MAP::GET_ID(int32_t x, int32_t y) const {
  const MAP_CELL* cell = cell_at(x, y);
  return cell != nullptr ? *cell : MAP_CELL{};
}
MAP_CELL HEXAGON_MAP::GET_ID(VECTOR2D p) const {
  return GET_ID(p.X, p.Y);
}

int32_t HEXAGON_MAP::GET_ID_GROUND(int32_t x, int32_t y) const {
  return GET_ID(x, y).ID_GROUND;
}
int32_t HEXAGON_MAP::GET_ID_GROUND(VECTOR2D p) const {
  return GET_ID_GROUND(p.X, p.Y);
}
int32_t HEXAGON_MAP::GET_ID_OVERLAY(int32_t x, int32_t y) const {
  return GET_ID(x, y).ID_OVERLAY;
}
int32_t HEXAGON_MAP::GET_ID_OVERLAY(VECTOR2D p) const {
  return GET_ID_OVERLAY(p.X, p.Y);
}
int32_t HEXAGON_MAP::GET_ID_PROP(int32_t x, int32_t y) const {
  return GET_ID(x, y).ID_PROP;
}
int32_t HEXAGON_MAP::GET_ID_PROP(VECTOR2D p) const {
  return GET_ID_PROP(p.X, p.Y);
}
int32_t HEXAGON_MAP::GET_ID_WALL(int32_t x, int32_t y) const {
  return GET_ID(x, y).ID_WALL;
}
int32_t HEXAGON_MAP::GET_ID_WALL(VECTOR2D p) const {
  return GET_ID_WALL(p.X, p.Y);
}

void HEXAGON_MAP::SET_ID(int32_t x, int32_t y, const MAP_CELL& cell) {
  MAP_CELL* target = cell_at(x, y);
  if (target == nullptr) return;
  *target = cell;
  note_cell_overwritten(static_cast<int32_t>(target - CELLS.data()));
}
void HEXAGON_MAP::SET_ID(VECTOR2D p, const MAP_CELL& cell) {
  SET_ID(p.X, p.Y, cell);
}

void HEXAGON_MAP::SET_ID_GROUND(int32_t x, int32_t y, int32_t id) {
  if (MAP_CELL* cell = cell_at(x, y)) cell->ID_GROUND = id;
}
void HEXAGON_MAP::SET_ID_GROUND(VECTOR2D p, int32_t id) {
  SET_ID_GROUND(p.X, p.Y, id);
}
void HEXAGON_MAP::SET_ID_OVERLAY(int32_t x, int32_t y, int32_t id) {
  if (MAP_CELL* cell = cell_at(x, y)) cell->ID_OVERLAY = id;
}
void HEXAGON_MAP::SET_ID_OVERLAY(VECTOR2D p, int32_t id) {
  SET_ID_OVERLAY(p.X, p.Y, id);
}
void HEXAGON_MAP::SET_ID_PROP(int32_t x, int32_t y, int32_t id) {
  if (MAP_CELL* cell = cell_at(x, y)) cell->ID_PROP = id;
}
void HEXAGON_MAP::SET_ID_PROP(VECTOR2D p, int32_t id) {
  SET_ID_PROP(p.X, p.Y, id);
}
void HEXAGON_MAP::SET_ID_WALL(int32_t x, int32_t y, int32_t bits) {
  if (MAP_CELL* cell = cell_at(x, y)) cell->ID_WALL = bits;
}
void HEXAGON_MAP::SET_ID_WALL(VECTOR2D p, int32_t bits) {
  SET_ID_WALL(p.X, p.Y, bits);
}

}  // namespace hexmap
