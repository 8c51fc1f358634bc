// Line of sight and field of view against the literal reference, on worked cases and on random
// maps (grid coordinates).

#include "hexmap/sight.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "tests/reference/sight_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

std::vector<VECTOR2D> literal_field(const HEXAGON_MAP& map, VECTOR2D viewer, int32_t radius) {
  std::vector<VECTOR2D> out;
  for (int32_t i = 0; i < map.MAP_WIDTH * map.MAP_HEIGHT; ++i) {
    const VECTOR2D c(i % map.MAP_WIDTH, i / map.MAP_WIDTH);
    if (HEXAGON_MAP::DISTANCE(viewer, c) <= radius && reference::literal_sight(map, viewer, c))
      out.push_back(c);
  }
  return out;
}

// From (0,4) to (2,4) the segment runs along the side between (1,3) and (1,4). Each case: solid
// rows of column 1, walls of (0,4), walls of (1,3), whether (2,4) is seen.
TEST(Sight, SegmentAlongASideNeedsOneClearCellAndSqueezesBetweenWallEnds) {
  struct Case {
    std::vector<int32_t> solid_rows;
    int32_t from_walls, walls_of_1_3;
    bool seen;
  };
  for (const Case& c : std::vector<Case>{{{3}, 0, 0, true},
                                         {{4}, 0, 0, true},
                                         {{3, 4}, 0, 0, false},
                                         {{}, 0, 1 << 3, true},            // a wall along it
                                         {{}, 1 << 1, 0, true},            // up-right alone
                                         {{}, 1 << 1 | 1 << 2, 0, false},  // both ends meet on it
                                         {{}, 1 << 2, 1 << 4, false},      // up-right set in (1,3)
                                         {{}, 1 << 2, 1 << 6, true}}) {    // bit 6 is no wall
    HEXAGON_MAP map;
    reference::make_open_map(map, 4, 7);
    for (const int32_t y : c.solid_rows)
      map.ASTAR_CELLSETSOLID(1, y, -1);
    map.SET_ID_WALL(0, 4, c.from_walls);
    map.SET_ID_WALL(1, 3, c.walls_of_1_3);
    EXPECT_EQ(line_of_sight(map, VECTOR2D(0, 4), VECTOR2D(2, 4)), c.seen) << c.from_walls;
    EXPECT_EQ(reference::literal_sight(map, VECTOR2D(0, 4), VECTOR2D(2, 4)), c.seen);
  }
}

// Viewers and targets off the map, and radius -1 and 0, are among the random cases below.
TEST(Sight, SizeFieldsThatPromiseMoreCellsThanThereAreSeeNothing) {
  HEXAGON_MAP map;
  reference::make_open_map(map, 5, 5);
  map.MAP_WIDTH = 6;
  std::vector<VECTOR2D> visible{VECTOR2D(9, 9)};
  field_of_view(map, VECTOR2D(2, 2), 3, visible);
  EXPECT_TRUE(visible.empty());
  EXPECT_FALSE(line_of_sight(map, VECTOR2D(0, 0), VECTOR2D(1, 0)));
}

TEST(Sight, RandomMapsMatchTheLiteralRuleSymmetricallyAndMonotonically) {
  int seen_pairs = 0;
  HEXAGON_MAP map;
  std::vector<VECTOR2D> visible, after;
  visible.reserve(600);
  const VECTOR2D* const storage = visible.data();
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const auto pick = [&](int32_t lo, int32_t hi) {
      return std::uniform_int_distribution(lo, hi)(rng);
    };
    reference::make_sight_map(map, rng, pick(1, 40), pick(1, 40), pick(0, 30));
    const auto cell = [&](int32_t margin) {
      return VECTOR2D(pick(-margin, map.MAP_WIDTH - 1 + margin), pick(0, map.MAP_HEIGHT - 1));
    };
    const VECTOR2D viewer = cell(1);
    const int32_t radius = pick(-1, 12);
    field_of_view(map, viewer, radius, visible);
    ASSERT_EQ(visible, literal_field(map, viewer, radius)) << "seed " << seed;
    for (int i = 0; i < 20; ++i) {
      const VECTOR2D a = cell(0), b = cell(1);
      const bool seen = line_of_sight(map, a, b);
      ASSERT_EQ(seen, reference::literal_sight(map, a, b)) << "seed " << seed << " " << a << b;
      ASSERT_EQ(seen, line_of_sight(map, b, a)) << "seed " << seed << " " << a << b;
      seen_pairs += seen ? 1 : 0;
    }
    // One more wall or opaque cell hides, never reveals.
    const VECTOR2D more = cell(0);
    map.SET_ID_WALL(more, map.GET_ID_WALL(more) | 1 << pick(0, 5));
    if (pick(0, 1) == 0) map.ASTAR_CELLSETSOLID(more.X, more.Y, -1);
    field_of_view(map, viewer, radius, after);
    ASSERT_TRUE(
        std::includes(visible.begin(), visible.end(), after.begin(), after.end(),
                      [](VECTOR2D p, VECTOR2D q) { return p.Y != q.Y ? p.Y < q.Y : p.X < q.X; }))
        << "seed " << seed;
  }
  EXPECT_EQ(visible.data(), storage);  // no allocation once the capacity is there
  EXPECT_GT(seen_pairs, 1000);
  EXPECT_LT(seen_pairs, 5000);
}

// A field too large for the sweep's stack room is found cell by cell, with the same answer.
TEST(Sight, LargeFieldsAgreeWithSmallerOnes) {
  HEXAGON_MAP map;
  std::mt19937 rng(7);
  reference::make_sight_map(map, rng, 300, 300, 3);
  const VECTOR2D viewer(299, 150);
  std::vector<VECTOR2D> large, small;
  field_of_view(map, viewer, 299, large);
  field_of_view(map, viewer, 100, small);
  std::erase_if(large, [&](VECTOR2D c) { return HEXAGON_MAP::DISTANCE(viewer, c) > 100; });
  EXPECT_EQ(large, small);
  EXPECT_GT(small.size(), 1000u);
}

}  // namespace
}  // namespace hexmap
