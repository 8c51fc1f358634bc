// hexmap: a hexagon-grid map engine.
//
// One class, HEXAGON_MAP, holds a rectangular grid of flat-topped hexagonal cells; odd columns
// sit half a row lower. Every public method is an exported entry point of libhexmap.so.
// Coordinate spaces: grid (column, row); map pixels (the whole map at full size, cell (0, 0)'s
// tile at the origin); screen pixels = map pixels - CAMERA.
//
// Conventions: flags and yes/no results are int32 -1 (true) or 0 (false). No method returns
// an error: an operation that cannot run writes a log line and returns.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace raster {
struct Image;
}

namespace hexmap {

// Largest grid CREATE_MAP accepts (cells): with its search and flood buffers (114 bytes a
// cell) it stays within 2 GB, so an ordinary machine refuses a larger grid cleanly instead of
// running out of memory.
inline constexpr int32_t kMaxCellCount = 1 << 24;

// A pair of ints: a grid position (column, row), a pixel position, a size or an offset.
struct VECTOR2D {
  int32_t X = 0;
  int32_t Y = 0;

  constexpr VECTOR2D() = default;
  constexpr VECTOR2D(int32_t x, int32_t y) : X(x), Y(y) {}

  // Sets both components to n; the engine uses it to reset a vector to (-1, -1).
  constexpr VECTOR2D& operator=(int32_t n) {
    X = n;
    Y = n;
    return *this;
  }
  constexpr VECTOR2D& operator+=(VECTOR2D o) {
    X += o.X;
    Y += o.Y;
    return *this;
  }
  constexpr VECTOR2D& operator-=(VECTOR2D o) {
    X -= o.X;
    Y -= o.Y;
    return *this;
  }
  // Writes X to x and Y to y.
  constexpr void GET_XY(int32_t& x, int32_t& y) const {
    x = X;
    y = Y;
  }
  friend constexpr VECTOR2D operator+(VECTOR2D a, VECTOR2D b) { return a += b; }
  friend constexpr VECTOR2D operator-(VECTOR2D a, VECTOR2D b) { return a -= b; }
  friend constexpr bool operator==(VECTOR2D a, VECTOR2D b) { return a.X == b.X && a.Y == b.Y; }
};

// Text form "(X,Y)", for example "(3,-1)".
[[gnu::visibility("default")]] std::string to_string(VECTOR2D v);
[[gnu::visibility("default")]] std::ostream& operator<<(std::ostream& out, VECTOR2D v);

// Where the log lines of every map go, process-wide. A sink receives each line without its line
// break; an empty sink silences every map, their constructors included. LOG_ON and LOG_OFF
// still decide per map whether it logs at all. Until a program sets one, lines go to
// stdout_log_sink. set_log_sink may be called from any thread, and from within a sink.
using LogSink = std::function<void(std::string_view line)>;
[[gnu::visibility("default")]] void set_log_sink(LogSink sink);
// Writes the line and "\n" to standard output and flushes.
[[gnu::visibility("default")]] void stdout_log_sink(std::string_view line);

// One hexagonal cell: eighteen int32 values. The A* fields (ASTAR_PARENT to ASTAR_H) belong to
// the search and FLOOD to the flood map; other code writes them only through SET_ID.
struct MAP_CELL {
  int32_t ID_GROUND = 0;   // ground tile id; 0 = no ground, never entered by a search
  int32_t ID_OVERLAY = 0;  // stored only
  int32_t ID_PROP = 0;     // stored only
  int32_t ID_WALL = 0;     // bit d = wall on side d (the side facing the neighbour in direction d)
  int32_t SPARE = 0;       // kept with the cell, read by nothing
  VECTOR2D POSITION;       // the cell's own grid position
  int32_t SOLID = 0;       // -1 = solid
  VECTOR2D ASTAR_PARENT;   // grid position of the cell this one was reached from
  int32_t ASTAR_PARENT_INDEX = 0;
  int32_t ASTAR_DIRECTION = 0;       // direction of the step from the parent into this cell
  int32_t ASTAR_LIST = 0;            // ASTAR_NONE, ASTAR_OPEN or ASTAR_CLOSED
  int32_t ASTAR_PATH_DIRECTION = 0;  // on the traced path: direction of the step out of this cell
  int32_t ASTAR_F = 0;
  int32_t ASTAR_G = 0;  // cost from the start, 10 per step
  int32_t ASTAR_H = 0;  // 10 x grid distance to the end
  int32_t FLOOD = 0;    // steps left + 1 when the flood arrived; 0 = not reached
};
static_assert(sizeof(MAP_CELL) == 72);

class __attribute__((visibility("default"))) HEXAGON_MAP {
 public:
  // ---- Fields, in their documented order ----
  int32_t LOG_ENABLED = -1;
  int32_t MAP_WIDTH = 1;
  int32_t MAP_HEIGHT = 1;
  int32_t CELL_COUNT = 1;
  std::vector<MAP_CELL> CELLS;        // row after row: cell (x, y) at index y * MAP_WIDTH + x
  VECTOR2D WIN_SIZE;                  // view window size (screen pixels)
  VECTOR2D WIN_CENTER;                // view window centre (screen pixels)
  VECTOR2D CLIP_START;                // view window top-left corner (screen pixels, inclusive)
  VECTOR2D CLIP_END;                  // view window bottom-right corner (screen pixels, inclusive)
  std::vector<raster::Image*> TILES;  // owned tile images
  int32_t TILE_COUNT = -1;            // -1 = no tile list
  int32_t SOLID_PANEL = 0;
  int32_t FLOOD_PANEL = 0;
  std::array<int32_t, 6> WALL_PANEL{};
  int32_t TILE_WIDTH = 0;
  int32_t TILE_HEIGHT = 0;
  VECTOR2D CAMERA;         // map pixel shown at screen pixel (0, 0)
  VECTOR2D CENTER_OFFSET;  // camera position that centres cell (0, 0) in the view window
  int32_t SCROLL_DONE = 0;
  int32_t ASTAR_START_INDEX = 0;
  int32_t ASTAR_END_INDEX = 0;
  VECTOR2D ASTAR_START;  // grid
  VECTOR2D ASTAR_END;    // grid
  int32_t ASTAR_PATH_LENGTH = 0;
  int32_t ASTAR_PATH_FOUND = 0;
  int32_t ASTAR_FIRST_DIRECTION = 0;
  int32_t ASTAR_NONE = 0;
  int32_t ASTAR_OPEN = 1;
  int32_t ASTAR_CLOSED = 2;
  std::string NAME;  // at most 8 characters; prefix of every log line
  int32_t SCREEN_UNCHECKED = -1;
  int32_t SCREEN_WIDTH = 0;
  int32_t SCREEN_HEIGHT = 0;
  std::string TILE_FILENAME;
  int32_t CELL_CENTER_X = 0;
  int32_t CELL_CENTER_Y = 0;
  int32_t ODD_COLUMN_OFFSET = 0;
  int32_t BOX_WIDTH = 0;
  int32_t BOX_HEIGHT = 0;
  int32_t OVERLAP_WIDTH = 0;
  int32_t BLOCK_WIDTH = 0;
  int32_t BLOCK_HEIGHT = 0;
  int32_t SCREEN_BLOCKS_X = 0;
  int32_t SCREEN_BLOCKS_Y = 0;

  // ---- Lifecycle, name and log ----
  HEXAGON_MAP();
  ~HEXAGON_MAP();
  HEXAGON_MAP(const HEXAGON_MAP&) = delete;
  HEXAGON_MAP& operator=(const HEXAGON_MAP&) = delete;

  // Logs the rename under the old name, then keeps the first 8 characters of name.
  void SET_NAME(std::string_view name);
  // Hands text to the log sink (see set_log_sink) while LOG_ENABLED is non-zero.
  void PRINT_(std::string_view text) const;
  void LOG_ON();
  void LOG_OFF();

  // ---- Grid and cell access ----
  // Replaces the grid with width x height zeroed cells. Refuses (logged, old grid kept) sizes
  // below 1, more than kMaxCellCount cells, or storage that cannot be had.
  void CREATE_MAP(int32_t width, int32_t height);
  // -1 when 0 <= x < MAP_WIDTH and 0 <= y < MAP_HEIGHT, else 0.
  int32_t INSIDE(int32_t x, int32_t y) const;
  int32_t INSIDE(VECTOR2D p) const;

  // Off the map a read gives an all-zero cell and a write is ignored.
  MAP_CELL GET_ID(int32_t x, int32_t y) const;
  MAP_CELL GET_ID(VECTOR2D p) const;
  int32_t GET_ID_GROUND(int32_t x, int32_t y) const;
  int32_t GET_ID_GROUND(VECTOR2D p) const;
  int32_t GET_ID_OVERLAY(int32_t x, int32_t y) const;
  int32_t GET_ID_OVERLAY(VECTOR2D p) const;
  int32_t GET_ID_PROP(int32_t x, int32_t y) const;
  int32_t GET_ID_PROP(VECTOR2D p) const;
  int32_t GET_ID_WALL(int32_t x, int32_t y) const;
  int32_t GET_ID_WALL(VECTOR2D p) const;
  // Replaces all eighteen values, POSITION and the A* and flood values included.
  void SET_ID(int32_t x, int32_t y, const MAP_CELL& cell);
  void SET_ID(VECTOR2D p, const MAP_CELL& cell);
  void SET_ID_GROUND(int32_t x, int32_t y, int32_t id);
  void SET_ID_GROUND(VECTOR2D p, int32_t id);
  void SET_ID_OVERLAY(int32_t x, int32_t y, int32_t id);
  void SET_ID_OVERLAY(VECTOR2D p, int32_t id);
  void SET_ID_PROP(int32_t x, int32_t y, int32_t id);
  void SET_ID_PROP(VECTOR2D p, int32_t id);
  void SET_ID_WALL(int32_t x, int32_t y, int32_t bits);
  void SET_ID_WALL(VECTOR2D p, int32_t bits);

  // ---- Neighbourhood and distance (grid; no map field is read, nothing is range-checked) ----
  // Directions 0..5 clockwise from up: 0 up, 1 up-right, 2 down-right, 3 down, 4 down-left,
  // 5 up-left. Any other direction gives 0 (ADJACENT_*) or no move (MOVE_FORWARD).
  static int32_t ADJACENT_X(int32_t x, int32_t y, int32_t direction);
  static int32_t ADJACENT_Y(int32_t x, int32_t y, int32_t direction);
  static void MOVE_FORWARD(int32_t& x, int32_t& y, int32_t direction);
  static void MOVE_FORWARD(VECTOR2D& position, int32_t direction);
  // Number of single steps between two cells, walls and solid cells ignored.
  static int32_t DISTANCE(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  static int32_t DISTANCE(VECTOR2D from, VECTOR2D to);

  // ---- Projection and camera (grid, map pixels, screen pixels = map pixels - CAMERA) ----
  // Centre of cell (x, y) in map pixels.
  VECTOR2D GET_ABS_POSITION_FOR_GRID(int32_t x, int32_t y) const;
  VECTOR2D GET_ABS_POSITION_FOR_GRID(VECTOR2D cell) const;
  // Centre of cell (x, y) in screen pixels.
  VECTOR2D GET_POSITION_ON_SCREEN_FOR_GRID(int32_t x, int32_t y) const;
  // The camera that puts the centre of cell (x, y) on WIN_CENTER.
  VECTOR2D GET_CENTER_CAMERA_POSITION_FOR_GRID(int32_t x, int32_t y) const;
  VECTOR2D GET_CENTER_CAMERA_POSITION_FOR_GRID(VECTOR2D cell) const;
  VECTOR2D GET_CAMERA() const;
  void GET_CAMERA(VECTOR2D& out) const;
  void GET_CAMERA(int32_t& x, int32_t& y) const;
  void SET_CAMERA(int32_t x, int32_t y);
  void SET_CAMERA(VECTOR2D camera);
  void MOVE_CAMERA(int32_t dx, int32_t dy);
  void MOVE_CAMERA(VECTOR2D delta);
  // Puts map pixel (ax, ay) on WIN_CENTER.
  void SET_CAMERA_TO_ABS_POSITION_ON_MAP(int32_t ax, int32_t ay);
  void SET_CAMERA_TO_ABS_POSITION_ON_MAP(VECTOR2D position);
  // Stepped scrolling: at most `speed` pixels per axis towards the target camera (speed < 1
  // jumps); SCROLL_DONE := -1 when the camera is on the target.
  void SCROLL(int32_t tx, int32_t ty, int32_t speed);
  void SCROLL(VECTOR2D target, int32_t speed);
  void SCROLL_TO_GRID(int32_t x, int32_t y, int32_t speed);
  void SCROLL_TO_GRID(VECTOR2D cell, int32_t speed);
  void SCROLL_AS_CENTER(int32_t ax, int32_t ay, int32_t speed);
  void SCROLL_AS_CENTER(VECTOR2D position, int32_t speed);

  // ---- Mouse picking and walls (mouse in screen pixels, accepted inside the view window) ----
  // Hexagon under the point; (-1, -1) outside the window, (0, 0) before a screen is known.
  VECTOR2D GET_GRID_POSITION_UNDER_MOUSE(int32_t mx, int32_t my) const;
  // Cell whose box holds the point; (-1, -1) outside the window or before a screen is known.
  VECTOR2D GET_WALL_GRID_POSITION_UNDER_MOUSE(int32_t mx, int32_t my) const;
  // Side 0, 3, 4 or 5 of that box cell under the point, or -1.
  int32_t GET_WALL_SIDE_POSITION_UNDER_MOUSE(int32_t mx, int32_t my) const;
  // Flips bit (side AND 31) of ID_WALL of a cell on the map; other cells are ignored.
  void TOGGLE_WALL(VECTOR2D cell, int32_t side);

  // ---- View window and clipping (screen pixels, corners inclusive) ----
  void SET_CLIP(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void SET_WIN_POSITION(int32_t x, int32_t y);
  void SET_WIN_SIZE(int32_t width, int32_t height);
  void CLIP_ON();
  void CLIP_OFF();

  // ---- Tiles and panels ----
  // Cuts a BMP sheet into tiles; count <= 0 takes every whole tile. Refuses (logged, old list
  // kept) a sheet that cannot be loaded or tile sizes below 1.
  void LOAD_TILES(std::string_view file_name, int32_t tile_width, int32_t tile_height,
                  int32_t count);
  // box_height -1 stands for TILE_HEIGHT.
  void SET_OVERLAP_SIZE(int32_t box_width, int32_t box_height);
  // A negative id counts from the end of the tile list.
  void SET_SOLID_PANEL(int32_t id);
  void SET_FLOODMAP_PANEL(int32_t id);
  void SET_WALL_PANELS(int32_t first);

  // ---- Drawing ----
  // Paints the visible cells into the view window: ground, wall panels, solid panel.
  void DRAW();
  // Start and end markers, and a dot and arrow on every cell of the last search's path.
  void ASTAR_DRAW_PATH();
  void ASTAR_DRAWCELL(VECTOR2D cell);
  void ASTAR_DRAWCELL(int32_t x, int32_t y);
  // Blends the flood panel over every cell with FLOOD > 0, with a pulsing opacity.
  void FLOODMAP_DRAW_PATH();

  // ---- Map file ----
  // Writes the map text file atomically; the old file stays whole on any failure.
  void SAVE_MAP(std::string_view file_name);
  // Reads and checks the whole file first; a bad file leaves the map as it was.
  void LOAD_MAP(std::string_view file_name);

  // ---- A* search ----
  // For every cell: POSITION := its own (x, y), SOLID := 0.
  void ASTAR_CELLCLEARALL();
  // SOLID := value, stored unchanged; off the map nothing happens.
  void ASTAR_CELLSETSOLID(int32_t x, int32_t y, int32_t value);
  void ASTAR_CELLSETSOLID(VECTOR2D p, int32_t value);
  // Inside the map: SOLID := 0 when it was non-zero, else -1.
  void ASTAR_CELLTOGGLESOLID(int32_t x, int32_t y);
  void ASTAR_CELLTOGGLESOLID(VECTOR2D p);
  // Inside the map: stores the start (end); outside, the previous one stays.
  void ASTAR_CELLSETSTART(int32_t x, int32_t y);
  void ASTAR_CELLSETSTART(VECTOR2D p);
  void ASTAR_CELLSETEND(int32_t x, int32_t y);
  void ASTAR_CELLSETEND(VECTOR2D p);
  // Tests and updates the neighbour (x, y) reached from cell `index` by a step in `direction`.
  void ASTAR_CHECKNEIGHBOUR(int32_t index, int32_t direction, int32_t x, int32_t y, int32_t cost);
  // ASTAR_CHECKNEIGHBOUR for directions 0..5 around cell `index` at (x, y), cost 10.
  void ASTAR_CHECKNEIGHBOURS(int32_t index, int32_t x, int32_t y);
  // Index of the open cell with the lowest F (lowest index among equals), or -1.
  int32_t ASTAR_GETLOWESTF();
  // Searches from the stored start to the stored end, expanding at most `limit` cells (at
  // least one). Results: ASTAR_PATH_FOUND, ASTAR_PATH_LENGTH, ASTAR_FIRST_DIRECTION and each
  // path cell's ASTAR_PATH_DIRECTION.
  void ASTAR_COMPUTE(int32_t limit);
  void ASTAR_COMPUTE(int32_t start_x, int32_t start_y, int32_t end_x, int32_t end_y, int32_t limit);
  void ASTAR_COMPUTE(VECTOR2D start, VECTOR2D end, int32_t limit);

  // ---- Flood map ----
  // FLOOD := steps + 1 - k on every cell k <= steps walkable steps from (x, y), else 0.
  void FLOODMAP_COMPUTE(int32_t x, int32_t y, int32_t steps);
  void FLOODMAP_COMPUTE(VECTOR2D origin, int32_t steps);
  // Spreads the flood value `value` of cell `index` to its neighbour in `direction`.
  void FLOODMAP_CHECK_NEIGHBOR(int32_t index, int32_t direction, int32_t value);

  // ---- Sample map ----
  // id != -1: ID_GROUND := id everywhere. id == -1: a repeating run of the usable tiles.
  void MAKE_SAMPLE_MAP(int32_t id);

 private:
  struct Scratch;  // search and flood buffers, sized by CREATE_MAP

  // Helpers of the library's own sources: kept out of its exports, like every internal name.
  [[gnu::visibility("hidden")]] MAP_CELL* cell_at(int32_t x, int32_t y);
  [[gnu::visibility("hidden")]] const MAP_CELL* cell_at(int32_t x, int32_t y) const;
  [[gnu::visibility("hidden")]] void log_line(std::string_view detail) const;
  // Bookkeeping for the searches' partial resets.
  [[gnu::visibility("hidden")]] void note_grid_created();
  [[gnu::visibility("hidden")]] void note_cell_overwritten(int32_t index);

  std::unique_ptr<Scratch> scratch_;
};

}  // namespace hexmap
