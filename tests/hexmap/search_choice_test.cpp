// The engine switches between its bucketed and its heap search by how sparse the open cells of
// the last search were. Whichever runs, and across every switch, each cell must end as the
// literal algorithm leaves it. Grid coordinates throughout.

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/reference/differential.hpp"
#include "tests/reference/search_reference.hpp"
#include "tests/reference/test_maps.hpp"

namespace hexmap {
namespace {

constexpr int32_t kSize = 64;  // large enough for the engine to judge its searches

TEST(SearchChoice, MazeAndOpenSearchesInTurnMatchTheLiteralAlgorithm) {
  HEXAGON_MAP engine;
  HEXAGON_MAP literal;
  reference::make_maze_map(engine, kSize);
  reference::make_maze_map(literal, kSize);
  struct Search {
    int32_t sx, sy, ex, ey;
  };
  // Corridor searches (few open cells), a long one through the whole maze, then searches on
  // the same grid once its walls are gone (many open cells): a switch each way.
  const Search mazes[] = {{2, 1, 60, 2}, {5, 5, 50, 6}, {60, 9, 3, 9}, {0, 0, 63, 63}};
  const Search opens[] = {{0, 0, 63, 63}, {63, 0, 0, 63}, {10, 40, 50, 5}};
  const auto run = [&](const Search& q) {
    engine.ASTAR_COMPUTE(q.sx, q.sy, q.ex, q.ey, 65535);
    reference::Literal{literal}.astar_compute(q.sx, q.sy, q.ex, q.ey, 65535);
    ASSERT_EQ(reference::first_difference(engine, literal), "")
        << "search " << q.sx << "," << q.sy << " to " << q.ex << "," << q.ey;
  };
  for (const Search& q : mazes)
    run(q);
  for (int32_t i = 0; i < kSize * kSize; ++i) {
    engine.SET_ID_WALL(i % kSize, i / kSize, 0);
    literal.SET_ID_WALL(i % kSize, i / kSize, 0);
  }
  for (const Search& q : opens)
    run(q);
  EXPECT_NE(engine.ASTAR_PATH_FOUND, 0);
}

}  // namespace
}  // namespace hexmap
