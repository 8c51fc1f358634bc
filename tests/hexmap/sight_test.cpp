// Line of sight and field of view against the literal reference, on worked cases and on random
// maps (grid coordinates).

#include "hexmap/sight.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tests/reference/sight_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

// From (0,4) to (2,4) the segment runs along the side between (1,3) and (1,4).
TEST(Sight, SegmentAlongASideNeedsOneClearCellAndSqueezesBetweenWallEnds) {
  HEXAGON_MAP map;
  const VECTOR2D from(0, 4), to(2, 4);
  const auto seen = [&](std::vector<int32_t> solid, std::vector<int32_t> walls_of_from,
                        int32_t wall_between = 0, int32_t wall_of_up_right = 0) {
    reference::make_open_map(map, 4, 7);
    for (const int32_t y : solid)
      map.ASTAR_CELLSETSOLID(1, y, -1);
    for (const int32_t d : walls_of_from)
      map.SET_ID_WALL(from, map.GET_ID_WALL(from) | (1 << d));
    map.SET_ID_WALL(1, 3, wall_between | wall_of_up_right);
    const bool out = line_of_sight(map, from, to);
    EXPECT_EQ(line_of_sight(map, to, from), out);
    EXPECT_EQ(reference::literal_sight(map, from, to), out);
    return out;
  };
  EXPECT_TRUE(seen({3}, {}));
  EXPECT_TRUE(seen({4}, {}));
  EXPECT_FALSE(seen({3, 4}, {}));
  EXPECT_TRUE(seen({}, {}, 1 << 3));       // a wall along the segment
  EXPECT_TRUE(seen({}, {1}));              // up-right alone
  EXPECT_FALSE(seen({}, {1, 2}));          // both ends meet on the segment
  EXPECT_FALSE(seen({}, {2}, 0, 1 << 4));  // the up-right wall set in (1,3) alone
  EXPECT_TRUE(seen({}, {2}, 1 << 6));      // bit 6 is no wall
}

TEST(Sight, OffTheMapAndBadArgumentsSeeNothing) {
  HEXAGON_MAP map;
  reference::make_open_map(map, 5, 5);
  std::vector<VECTOR2D> visible{VECTOR2D(9, 9)};
  EXPECT_FALSE(line_of_sight(map, VECTOR2D(0, 0), VECTOR2D(5, 0)));
  EXPECT_TRUE(line_of_sight(map, VECTOR2D(4, 4), VECTOR2D(4, 4)));
  field_of_view(map, VECTOR2D(-1, 0), 3, visible);
  EXPECT_TRUE(visible.empty());
  field_of_view(map, VECTOR2D(2, 2), 0, visible);
  EXPECT_EQ(visible, std::vector<VECTOR2D>{VECTOR2D(2, 2)});
  map.MAP_WIDTH = 6;  // size fields that do not match the cells
  field_of_view(map, VECTOR2D(2, 2), 3, visible);
  EXPECT_TRUE(visible.empty());
  EXPECT_FALSE(line_of_sight(map, VECTOR2D(0, 0), VECTOR2D(1, 0)));
}

TEST(Sight, RandomMapsMatchTheLiteralRuleSymmetricallyAndMonotonically) {
  int hidden = 0;
  int shown = 0;
  std::vector<VECTOR2D> visible, more_blocked;
  HEXAGON_MAP map;
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const auto pick = [&](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution(lo, hi)(rng);
    };
    reference::make_sight_map(map, rng, pick(1, 40), pick(1, 40), pick(0, 30));
    const VECTOR2D viewer(pick(-1, map.MAP_WIDTH), pick(0, map.MAP_HEIGHT - 1));
    const int32_t radius = pick(-1, 12);
    visible.reserve(600);
    const VECTOR2D* const storage = visible.data();
    field_of_view(map, viewer, radius, visible);
    ASSERT_EQ(visible, reference::literal_field(map, viewer, radius)) << "seed " << seed;
    EXPECT_EQ(visible.data(), storage);
    for (int i = 0; i < 20; ++i) {
      const VECTOR2D a(pick(0, map.MAP_WIDTH - 1), pick(0, map.MAP_HEIGHT - 1));
      const VECTOR2D b(pick(-1, map.MAP_WIDTH), pick(0, map.MAP_HEIGHT - 1));
      const bool seen = line_of_sight(map, a, b);
      ASSERT_EQ(seen, reference::literal_sight(map, a, b)) << "seed " << seed << " " << a << b;
      ASSERT_EQ(seen, line_of_sight(map, b, a)) << "seed " << seed << " " << a << b;
      (seen ? shown : hidden)++;
    }
    // One more wall or opaque cell hides, never reveals.
    const VECTOR2D cell(pick(0, map.MAP_WIDTH - 1), pick(0, map.MAP_HEIGHT - 1));
    map.SET_ID_WALL(cell, map.GET_ID_WALL(cell) | (1 << pick(0, 5)));
    if (pick(0, 1) == 0) map.ASTAR_CELLSETSOLID(cell.X, cell.Y, -1);
    field_of_view(map, viewer, radius, more_blocked);
    for (const VECTOR2D c : more_blocked)
      ASSERT_NE(std::find(visible.begin(), visible.end(), c), visible.end()) << "seed " << seed;
  }
  EXPECT_GT(hidden, 1000);
  EXPECT_GT(shown, 1000);
}

// A field too large for the sweep's stack room is found cell by cell, with the same answer.
TEST(Sight, LargeFieldsAgreeWithSmallerOnes) {
  HEXAGON_MAP map;
  std::mt19937 rng(7);
  reference::make_sight_map(map, rng, 300, 300, 3);
  std::vector<VECTOR2D> large, small;
  field_of_view(map, VECTOR2D(299, 150), 299, large);
  field_of_view(map, VECTOR2D(299, 150), 100, small);
  std::erase_if(large,
                [](VECTOR2D c) { return HEXAGON_MAP::DISTANCE(VECTOR2D(299, 150), c) > 100; });
  EXPECT_EQ(large, small);
  EXPECT_GT(small.size(), 1000u);
}

}  // namespace
}  // namespace hexmap
