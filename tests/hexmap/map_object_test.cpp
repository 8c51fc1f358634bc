// The map object: its log and log sink, the grid and cell accessors, steps in no direction and
// the sample map.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "hexmap/hexagon_map.hpp"
#include "log_capture.hpp"

namespace hexmap::testing {
namespace {

using Ints = std::vector<int32_t>;

// A map's whole life in its log: rename under the old name, the new one cut to 8 characters,
// refused sizes that keep the old grid, LOG_OFF, and the clean-up of a map that never found a
// screen. A sink gets exactly those lines; an empty one silences the log.
TEST(MapLog, LinesOfAWholeLifeGoToStandardOutputOrTheSink) {
  const auto life = [] {
    HEXAGON_MAP map;
    map.SET_NAME("ABCDEFGHIJ");
    map.CREATE_MAP(20, 15);
    map.SET_ID_GROUND(19, 14, 2);
    map.CREATE_MAP(0, 5);
    map.CREATE_MAP(70000, 70000);  // past 32 bits
    EXPECT_EQ((Ints{map.MAP_WIDTH, map.MAP_HEIGHT, map.CELL_COUNT, map.GET_ID_GROUND(19, 14)}),
              (Ints{20, 15, 300, 2}));
    map.LOG_OFF();
    map.SET_NAME("quiet");
    map.PRINT_("not shown");
    map.LOG_ON();
    map.SET_NAME("M");
  };
  const std::string resize = "ABCDEFGH:   resize map (20 x 15) to (";
  const std::string below_one = resize + "0 x 5) refused: width and height must be at least 1";
  const std::string too_many =
      resize + "70000 x 70000) refused: more than " + std::to_string(kMaxCellCount) + " cells";
  LogCapture by_default;
  life();
  const Lines expected = by_default.lines();
  EXPECT_EQ(
      expected,
      (Lines{": - HEXAGON MAP is created", ":   set default map size to (1 x 1)",
             ":   set default A* start/end point", ":   graphic screen is NOT yet checked",
             ": - RENAME '' to 'ABCDEFGH' -", "ABCDEFGH: - CREATE MAP is called -",
             "ABCDEFGH:   resize map (1 x 1) to (20 x 15)", "ABCDEFGH: - CREATE MAP is called -",
             below_one, "ABCDEFGH: - CREATE MAP is called -", too_many,
             "quiet: - RENAME 'quiet' to 'M' -", "M: - CLEAN UP -",
             "M:   map, unloaded from memory"}));
  Lines received;
  set_log_sink([&](std::string_view line) { received.emplace_back(line); });
  LogCapture sunk;
  life();
  set_log_sink(nullptr);
  life();
  set_log_sink(stdout_log_sink);
  EXPECT_EQ(sunk.lines(), Lines{});
  EXPECT_EQ(received, expected);
}

// A grid of the same size starts from nothing again. Positions off the map read an empty cell
// and write nothing, also when the public size fields were enlarged by hand.
TEST(MapObject, CreateMapStartsFromNothingAndCellsOffTheMapAreLeftAlone) {
  HEXAGON_MAP map;
  map.LOG_OFF();
  map.CREATE_MAP(4, 3);
  map.SET_ID_WALL(VECTOR2D(3, 2), 0x3F);
  map.CREATE_MAP(4, 3);
  for (const MAP_CELL& cell : map.CELLS) {
    EXPECT_EQ(std::pair(&cell - map.CELLS.data(), cell.ID_WALL),
              std::pair(cell.POSITION.Y * 4L + cell.POSITION.X, 0));
  }
  const std::vector<MAP_CELL> before = map.CELLS;
  map.MAP_HEIGHT = 50;
  MAP_CELL whole{};
  whole.SPARE = 99;
  for (const VECTOR2D p : {VECTOR2D(4, 0), VECTOR2D(-1, 0), VECTOR2D(0, 49), VECTOR2D(0, -1),
                           VECTOR2D(INT32_MAX, INT32_MAX), VECTOR2D(INT32_MIN, 1)}) {
    map.SET_ID(p, whole);
    map.SET_ID_WALL(p, 77);
    EXPECT_EQ(map.GET_ID(p).SPARE | map.GET_ID_WALL(p), 0) << p;
  }
  EXPECT_EQ(std::memcmp(before.data(), map.CELLS.data(), before.size() * sizeof(MAP_CELL)), 0);
}

// Directions outside 0..5: no neighbour (column and row 0) and no step.
TEST(GridGeometry, OtherDirectionsHaveNoNeighbour) {
  VECTOR2D p(3, 3);
  HEXAGON_MAP::MOVE_FORWARD(p, 6);
  HEXAGON_MAP::MOVE_FORWARD(p.X, p.Y, -1);
  EXPECT_EQ((Ints{HEXAGON_MAP::ADJACENT_X(3, 3, 6), HEXAGON_MAP::ADJACENT_Y(3, 3, -1), p.X, p.Y}),
            (Ints{0, 0, 3, 3}));
}

// Runs over a 5 x 4 grid skip the flood and solid panels and cycle through ids 1 to 8; with
// fewer than 4 tiles every cell takes 1, with no usable tile 0; one id everywhere is silent.
TEST(SampleMap, RunCyclesThroughTheUsableTilesOrFallsBackToOneOrZero) {
  const Ints all{1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4};
  const Ints skipping{1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2, 5, 6, 7, 8, 1, 2};
  const struct {
    int32_t tiles, flood_panel, solid_panel, id;
    Ints ground;
  } cases[] = {{10, 0, 0, -1, all},        {10, 3, 4, -1, skipping},   {10, 4, 3, -1, skipping},
               {3, 0, 0, -1, Ints(20, 1)}, {4, 1, 2, -1, Ints(20, 0)}, {-1, 0, 0, -1, Ints(20, 0)},
               {10, 0, 0, 7, Ints(20, 7)}};
  for (const auto& c : cases) {
    HEXAGON_MAP map;
    map.CREATE_MAP(5, 4);
    map.TILE_COUNT = c.tiles;
    map.FLOOD_PANEL = c.flood_panel;
    map.SOLID_PANEL = c.solid_panel;
    LogCapture capture;
    map.MAKE_SAMPLE_MAP(c.id);
    const Lines line{":   making sample map with " + std::to_string(c.tiles) + " elements"};
    EXPECT_EQ(capture.lines(), c.id == -1 ? line : Lines{});
    EXPECT_TRUE(std::ranges::equal(map.CELLS, c.ground, {}, &MAP_CELL::ID_GROUND))
        << c.tiles << " tiles, panels " << c.flood_panel << ", " << c.solid_panel << ", id "
        << c.id;
  }
}

}  // namespace
}  // namespace hexmap::testing
